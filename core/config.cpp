#include "core/config.h"

#include <boost/property_tree/ini_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <sstream>

#include "core/program_log.h"
#include "corlane/app_path.h"
#include "corlane/file_store.h"
#include "corlane/logfile.h"

namespace store = qz::vok::file_store;

namespace {

const char kMainFile[] = "/Main.ini";
const char kViewFile[] = "/MultiScreenView.ini";

// Main.ini's settings in the order they are written: each is an integer,
// or text when it has a text default. Only the password lives under another
// key in memory than in the file.
struct MainSetting {
    const char* key;
    const char* fileKey;
    int def;
    const char* textDef;
};
const MainSetting kMainSettings[] = {
    {"Main.Language", "Main.Language", 0, nullptr},
    {"Main.Singleton", "Main.Singleton", 1, nullptr},
    {kPasswordKey, "Main.Pwd", 0, kDefaultPassword},
    {"MainFrm.LeftMargins", "MainFrm.LeftMargins", 0, nullptr},
    {"MainFrm.BkImageExpMode", "MainFrm.BkImageExpMode", 3, nullptr},
    {"MainFrm.AppType", "MainFrm.AppType", 1, nullptr},
    {"Plan.Layout", "Plan.Layout", 0, nullptr},
};

// MultiScreenView.ini's booleans: memory key, file key.
struct BoolSetting {
    const char* key;
    const char* fileKey;
    bool def;
};
const BoolSetting kViewBools[] = {
    {"MulSView.FitModule", "Cfg.FitModule", true},
    {"MulSView.AutoExecute", "Cfg.AutoExecute", true},
    {"MulSView.Transparent", "Cfg.Transparent", true},
};

template <class T>
T GetOr(const boost::property_tree::ptree& tree, const std::string& key, const T& def)
{
    const auto value = tree.get_optional<T>(key);
    return value ? *value : def;
}

// Puts `from`'s value at `fromKey`, or the default when it is missing or
// does not convert, under `toKey` of `to`.
void CopySetting(const boost::property_tree::ptree& from, const char* fromKey, boost::property_tree::ptree& to,
                 const char* toKey, const MainSetting& s)
{
    if (s.textDef) {
        to.put(toKey, GetOr<std::string>(from, fromKey, s.textDef));
    } else {
        to.put(toKey, GetOr(from, fromKey, s.def));
    }
}

// A value never holds a control character (a line end would split it and
// the file would not read again) nor blanks at its ends (the reader drops
// them). Read values are cleaned too, so what was loaded is what the next
// save writes.
void CleanValues(boost::property_tree::ptree& tree)
{
    std::string& value = tree.data();
    std::erase_if(value, [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    value.erase(0, value.find_first_not_of(' '));
    value.erase(value.find_last_not_of(' ') + 1);
    for (auto& child : tree) {
        CleanValues(child.second);
    }
}

} // namespace

CQelConfig::CQelConfig() : tree_(std::make_unique<Tree>()) {}

CQelConfig::~CQelConfig() = default;

CQelConfig& CQelConfig::get_instance()
{
    static CQelConfig config;
    return config;
}

void CQelConfig::SetLog(qz::vok::logfile* log)
{
    std::lock_guard lock(mutex_);
    log_ = log;
}

void CQelConfig::LogError(const std::string& text)
{
    if (log_) {
        log_->error("%s", text.c_str());
    }
}

bool CQelConfig::Load()
{
    LoadMain();
    LoadView();
    return true;
}

bool CQelConfig::ReadFile(const std::string& path, Tree& tree)
{
    const store::read_result file = store::read_file(path);
    if (file.status == store::read_status::missing) {
        return false; // a first start: nothing to keep
    }
    if (file.status == store::read_status::unreadable) {
        LogError("config: cannot read " + path + " (" + file.error +
                 "); settings take their defaults and the file is left as it is");
        return false;
    }
    try {
        std::istringstream in(file.bytes);
        boost::property_tree::read_ini(in, tree);
        CleanValues(tree);
        return true;
    } catch (const boost::property_tree::file_parser_error& e) {
        tree.clear();
        const std::string text = "config: " + path + " is damaged (" + e.message() + " at line " +
                                 std::to_string(e.line()) + "); settings take their defaults; " +
                                 store::keep_as_bad(path, file.bytes).text;
        LogError(text);
        PrintNotice(text);
        return false;
    }
}

bool CQelConfig::LoadMain()
{
    std::lock_guard lock(mutex_);
    Tree file;
    const bool read = ReadFile(qz::vok::path::GetSysPath() + kMainFile, file);
    for (const MainSetting& s : kMainSettings) {
        CopySetting(file, s.fileKey, *tree_, s.key, s);
    }
    return read;
}

bool CQelConfig::LoadView()
{
    std::lock_guard lock(mutex_);
    Tree file;
    const bool read = ReadFile(qz::vok::path::GetSysPath() + kViewFile, file);
    for (const BoolSetting& s : kViewBools) {
        tree_->put(s.key, GetOr(file, s.fileKey, s.def));
    }
    return read;
}

bool CQelConfig::WriteFile(const std::string& path, const Tree& tree)
{
    Tree clean = tree;
    CleanValues(clean);
    std::ostringstream text;
    try {
        boost::property_tree::write_ini(text, clean);
    } catch (const boost::property_tree::ptree_error& e) {
        LogError("config: cannot save " + path + ": " + e.what());
        return false;
    }
    std::string error;
    if (!store::replace_file(path, text.str(), error)) {
        LogError("config: cannot save " + path + ": " + error);
        return false;
    }
    return true;
}

bool CQelConfig::Save()
{
    // Each file is written whatever became of the other.
    const bool main = SaveMain();
    const bool view = SaveView();
    return main && view;
}

bool CQelConfig::SaveMain()
{
    std::lock_guard lock(mutex_);
    Tree file;
    for (const MainSetting& s : kMainSettings) {
        CopySetting(*tree_, s.key, file, s.fileKey, s);
    }
    return WriteFile(qz::vok::path::GetSysPath() + kMainFile, file);
}

bool CQelConfig::SaveView()
{
    std::lock_guard lock(mutex_);
    Tree file;
    for (const BoolSetting& s : kViewBools) {
        file.put(s.fileKey, GetOr(*tree_, s.key, s.def));
    }
    return WriteFile(qz::vok::path::GetSysPath() + kViewFile, file);
}

int CQelConfig::GetInt(const std::string& key, int def) const
{
    std::lock_guard lock(mutex_);
    return GetOr(*tree_, key, def);
}

bool CQelConfig::GetBool(const std::string& key, bool def) const
{
    std::lock_guard lock(mutex_);
    return GetOr(*tree_, key, def);
}

std::string CQelConfig::GetString(const std::string& key, const std::string& def) const
{
    std::lock_guard lock(mutex_);
    return GetOr(*tree_, key, def);
}

void CQelConfig::SetBool(const std::string& key, bool value)
{
    std::lock_guard lock(mutex_);
    tree_->put(key, value);
}

void CQelConfig::SetString(const std::string& key, const std::string& value)
{
    std::lock_guard lock(mutex_);
    tree_->put(key, value);
}

bool GetConfigBool(const std::string& key, bool def)
{
    return CQelConfig::get_instance().GetBool(key, def);
}

void SetConfigBool(const std::string& key, bool value)
{
    CQelConfig::get_instance().SetBool(key, value);
}

std::string GetConfigString(const std::string& key, const std::string& def)
{
    return CQelConfig::get_instance().GetString(key, def);
}

std::string OperationPassword()
{
    return GetConfigString(kPasswordKey, kDefaultPassword);
}

void SetConfigString(const std::string& key, const std::string& value)
{
    CQelConfig::get_instance().SetString(key, value);
}
