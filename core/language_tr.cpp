#include "core/language_tr.h"

#include <boost/property_tree/ptree.hpp>

#include "core/text_helpers.h"
#include "core/xml_file.h"
#include "corlane/file_store.h"

namespace qel {

namespace {
constexpr int kEnglish = 1;
const char kRoot[] = "LanguageTr";
const char kEntry[] = "Tr";
} // namespace

CLanguageTr& CLanguageTr::get_instance()
{
    static CLanguageTr table;
    return table;
}

bool CLanguageTr::Load(int mode, const std::string& path, std::string* why)
{
    mode_ = mode;
    table_.clear();
    auto fail = [why](const std::string& reason) {
        if (why) {
            *why = reason;
        }
        return false;
    };

    namespace store = qz::vok::file_store;
    const store::read_result file = store::read_file(path);
    if (file.status == store::read_status::missing) {
        return fail("");
    }
    if (file.status == store::read_status::unreadable) {
        return fail(file.error);
    }
    namespace pt = boost::property_tree;
    pt::ptree doc;
    try {
        xml::ReadTree(file.bytes, doc);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    const auto root = doc.get_child_optional(kRoot);
    if (!root) {
        return fail(std::string("the root element is not <") + kRoot + ">");
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

QString CLanguageTr::Translate(const QString& text, int mode) const
{
    if (mode == 0) {
        return text;
    }
    const auto it = table_.find(MakeKey(text, mode));
    return it != table_.end() ? it->second : text;
}

QString CLanguageTr::MakeKey(const QString& text, int mode)
{
    return mode == kEnglish ? text + QStringLiteral("_ENG") : text;
}

} // namespace qel

QString TranslateText(const QString& text)
{
    const qel::CLanguageTr& table = qel::CLanguageTr::get_instance();
    return table.Translate(text, table.GetMode());
}

QString Tr(const char* text)
{
    return TranslateText(QString::fromUtf8(text));
}
