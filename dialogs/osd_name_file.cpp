#include "dialogs/osd_name_file.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include "core/xml_file.h"
#include "corlane/app_path.h"
#include "corlane/file_store.h"
#include "corlane/fstr.h"
#include "dialogs/input_osd_edit.h"
#include "model/model_log.h"

namespace pt = boost::property_tree;
namespace store = qz::vok::file_store;

namespace inputosd {

namespace {

constexpr char kFileName[] = "/OsdName.pro";
constexpr char kRoot[] = "OsdSigName";
constexpr char kNameAttribute[] = "<xmlattr>.name";
constexpr char kNoName[] = " ";

// The file's tree; false with why when it is damaged.
bool ParseNames(const std::string& bytes, pt::ptree& tree, std::string& error)
{
    try {
        // Without the layout's whitespace, so a rewrite lays the file out afresh.
        xml::ReadTree(bytes, tree, pt::xml_parser::trim_whitespace);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    if (!tree.get_child_optional(kRoot)) {
        error = "no <OsdSigName> element";
        return false;
    }
    return true;
}

} // namespace

std::string OsdNameFilePath()
{
    return qz::vok::path::GetHardwarePath() + kFileName;
}

std::vector<std::string> ReadOsdNames()
{
    std::vector<std::string> names(kSlotCount, kNoName);
    const std::string path = OsdNameFilePath();
    const store::read_result stored = store::read_file(path);
    if (stored.status == store::read_status::missing)
        return names;
    if (stored.status == store::read_status::unreadable) {
        LogModelError("source names " + path + " not read: " + stored.error);
        return names;
    }
    pt::ptree tree;
    std::string error;
    if (!ParseNames(stored.bytes, tree, error)) {
        LogModelError("source names " + path + " damaged (" + error + "); the names stay blank");
        return names;
    }
    const pt::ptree& root = tree.get_child(kRoot);
    std::string unconverted;
    for (int input = 0; input < kSlotInputs; ++input) {
        for (int item = 0; item < kSlotItems; ++item) {
            const std::string label = SlotLabel(input, item);
            const auto child = root.get_child_optional(label);
            if (!child)
                continue;
            const auto attribute = child->get_optional<std::string>(kNameAttribute);
            if (!attribute)
                continue;
            std::string utf8;
            if (qz::vok::fstr_ansitoutf8(*attribute, utf8))
                names[size_t(SlotIndex(input, item))] = utf8;
            else
                unconverted += (unconverted.empty() ? "" : " ") + label;
        }
    }
    if (!unconverted.empty())
        LogModelError("source names " + path + ": names of " + unconverted + " are not code page 936; left blank");
    return names;
}

bool CanStoreOsdName(const std::string& utf8Name)
{
    std::string ansi;
    return qz::vok::fstr_utf8toansi(utf8Name, ansi);
}

bool WriteOsdName(const std::string& label, const std::string& utf8Name, std::string& error)
{
    std::string ansi;
    if (!qz::vok::fstr_utf8toansi(utf8Name, ansi)) {
        error = "the name has characters outside code page 936";
        return false;
    }
    const std::string path = OsdNameFilePath();
    const store::read_result stored = store::read_file(path);
    if (stored.status == store::read_status::unreadable) {
        error = path + " cannot be read (" + stored.error + "); it is left as it is";
        return false;
    }
    pt::ptree tree;
    if (stored.status == store::read_status::ok) {
        std::string damage;
        if (!ParseNames(stored.bytes, tree, damage)) {
            const store::keep_result kept = store::keep_as_bad(path, stored.bytes);
            LogModelError("source names " + path + " damaged (" + damage + "); " + kept.text);
            if (!kept.kept) {
                error = path + " is damaged and could not be kept";
                return false;
            }
            tree.clear();
        }
    }
    pt::ptree& root = tree.get_child_optional(kRoot) ? tree.get_child(kRoot) : tree.put_child(kRoot, pt::ptree());
    auto child = root.get_child_optional(label);
    if (child)
        child->put(kNameAttribute, ansi);
    else
        root.add_child(label, pt::ptree()).put(kNameAttribute, ansi);
    if (!store::replace_file(path, xml::WriteTree(tree), error)) {
        error = path + " not written: " + error;
        return false;
    }
    return true;
}

} // namespace inputosd
