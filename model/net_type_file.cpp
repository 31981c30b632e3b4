#include "model/net_type.h"

#include <boost/property_tree/ptree.hpp>

#include "core/xml_file.h"
#include "corlane/file_store.h"

uint8_t ReadProcessorNetType(const std::string& path)
{
    // Whatever is wrong with the file is the processor loader's to report.
    namespace store = qz::vok::file_store;
    const store::read_result file = store::read_file(path);
    if (file.status != store::read_status::ok)
        return 0;
    boost::property_tree::ptree tree;
    try {
        xml::ReadTree(file.bytes, tree);
    } catch (const std::exception&) {
        return 0;
    }
    const auto processor = tree.get_child_optional("Processor");
    if (!processor)
        return 0;
    const auto value = processor->get_optional<std::string>(xml::AttrKey(kNetTypeAttr));
    if (!value)
        return 0;
    // Surrounding blanks are tolerated, as a stream read of the value would.
    const auto first = value->find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return 0;
    const auto last = value->find_last_not_of(" \t\r\n");
    const std::string text = value->substr(first, last - first + 1);
    return (text == "1" || text == "true") ? 1 : 0;
}
