#include "app/language_tr.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include "app/text_helpers.h"

namespace qel {

namespace {
constexpr int kEnglish = 1;
const char kRoot[] = "LanguageTr";
const char kEntry[] = "Tr";
} // namespace

CLanguageTr& CLanguageTr::get_instance() {
    static CLanguageTr table;
    return table;
}

bool CLanguageTr::Load(int mode, const std::string& path) {
    mode_ = mode;
    table_.clear();

    namespace pt = boost::property_tree;
    pt::ptree doc;
    try {
        pt::read_xml(path, doc);
    } catch (const pt::ptree_error&) {
        return false;
    }
    const auto root = doc.get_child_optional(kRoot);
    if (!root) {
        return false;
    }
    for (const auto& [name, node] : *root) {
        if (name != kEntry) {
            continue;
        }
        const auto chn = node.get_optional<std::string>("<xmlattr>.CHN");
        const auto eng = node.get_optional<std::string>("<xmlattr>.ENG");
        if (!chn || !eng) {
            continue;
        }
        const QString chinese = StdToCString(*chn);
        const QString english = StdToCString(*eng);
        if (!chinese.isEmpty() && !english.isEmpty()) {
            table_[MakeKey(chinese, kEnglish)] = english;
        }
    }
    return true;
}

QString CLanguageTr::Translate(const QString& text, int mode) const {
    if (mode == 0) {
        return text;
    }
    const auto it = table_.find(MakeKey(text, mode));
    return it != table_.end() ? it->second : text;
}

QString CLanguageTr::MakeKey(const QString& text, int mode) {
    return mode == kEnglish ? text + QStringLiteral("_ENG") : text;
}

} // namespace qel

QString TranslateText(const QString& text) {
    const qel::CLanguageTr& table = qel::CLanguageTr::get_instance();
    return table.Translate(text, table.GetMode());
}
