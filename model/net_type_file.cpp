#include "model/net_type.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

uint8_t ReadProcessorNetType(const std::string& path)
{
    boost::property_tree::ptree tree;
    try {
        boost::property_tree::read_xml(path, tree);
    } catch (const boost::property_tree::ptree_error&) {
        return 0;
    }
    const auto processor = tree.get_child_optional("Processor");
    if (!processor)
        return 0;
    const auto value = processor->get_optional<std::string>("<xmlattr>.NetType");
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
