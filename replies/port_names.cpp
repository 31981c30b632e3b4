#include "replies/port_names.h"

#include <boost/property_tree/ptree.hpp>
#include <charconv>

#include "core/xml_file.h"
#include "corlane/file_store.h"
#include "corlane/fstr.h"
#include "model/kinds.h"
#include "model/processor.h"
#include "replies/reply_support.h"

using qz::vok::fstr_format;

namespace {

// The name the processor file gives source `id`; empty when it gives none
// or cannot be read.
std::string NameFromProcessorFile(uint32_t id)
{
    namespace pt = boost::property_tree;
    namespace store = qz::vok::file_store;
    const store::read_result file = store::read_file(CQelProcessor::ProFilePath());
    if (file.status != store::read_status::ok)
        return {};
    try {
        pt::ptree tree;
        xml::ReadTree(file.bytes, tree);
        const auto sources = tree.get_child_optional("Processor.SignalSource");
        if (!sources)
            return {};
        for (const auto& [key, node] : *sources) {
            if (key != "SigSrc")
                continue;
            const std::string text = node.get<std::string>("<xmlattr>.id", "0");
            uint32_t entryId = 0;
            const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), entryId);
            if (ec != std::errc() || end != text.data() + text.size())
                continue; // not an id at all
            if (entryId == id)
                return node.get<std::string>("<xmlattr>.name", "");
        }
    } catch (const std::exception&) {
        // an unreadable file names nothing: the numbered name applies
    }
    return {};
}

} // namespace

const char* InputTypeName(int32_t kind)
{
    switch (kind) {
    case 11: return "CVBS";
    case 3: return "HDMI";
    case 101: return "VGADVI";
    case 2: return "SDI";
    case 7: return "IpNet";
    case 6: return "DVI";
    case 12: return "OPT/SDI";
    case 13: return "HDMI_4K";
    case 100: return "OPT/SDI";
    default: return "Signal";
    }
}

std::string LoadProcessorPortNames(uint32_t id, int32_t model, int32_t kind)
{
    if (model < 7 || model > 10)
        return {};
    const int64_t board = id / 100;
    const int64_t port = id % 100;
    if (board >= 100) {
        const int64_t first = model == 8 || model == 10 ? 108 : 101;
        return fstr_format("%s %lld_%lld", TranslatedWord("输出").c_str(), static_cast<long long>(board - first),
                           static_cast<long long>(port + 1));
    }
    std::string name = NameFromProcessorFile(id);
    if (!name.empty())
        return name;
    const int64_t second = kind == kSrcCvbs && port >= 4 ? port + 4 * board - 3 : port + 1;
    return fstr_format("%lld_%lld %s", static_cast<long long>(board + 1), static_cast<long long>(second),
                       InputTypeName(kind));
}
