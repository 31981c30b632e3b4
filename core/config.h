#pragma once
#include <boost/property_tree/ptree_fwd.hpp>
#include <memory>
#include <mutex>
#include <string>

namespace qz::vok {
class logfile;
}

// The user's settings, held in memory under dotted keys ("Main.Language",
// "MulSView.AutoExecute") and kept in Sys/Main.ini and
// Sys/MultiScreenView.ini. After Load every setting of the table is in
// memory, from the file or with its default; Save writes the table's
// settings only. Start-up loads, the ordered shut-down saves.
class CQelConfig {
public:
    static CQelConfig& get_instance();

    CQelConfig();
    virtual ~CQelConfig();
    CQelConfig(const CQelConfig&) = delete;
    CQelConfig& operator=(const CQelConfig&) = delete;

    // Where load and save problems are reported; none by default.
    void SetLog(qz::vok::logfile* log);

    // LoadMain, then LoadView; always true.
    bool Load();
    // False when the file is missing or cannot be read; its settings then
    // take their defaults. A damaged file is kept beside as NAME.bad (and
    // said so on stderr), so the next save does not lose what it held; one
    // that cannot be read at all is left as it is and never replaced.
    bool LoadMain();
    bool LoadView();
    // Writes both files, each replaced whole; true only when both were.
    bool Save();
    bool SaveMain();
    bool SaveView();

    int GetInt(const std::string& key, int def) const;
    bool GetBool(const std::string& key, bool def) const;
    std::string GetString(const std::string& key, const std::string& def) const;
    void SetBool(const std::string& key, bool value);
    void SetString(const std::string& key, const std::string& value);

private:
    using Tree = boost::property_tree::ptree;

    bool ReadFile(const std::string& path, Tree& tree);
    bool WriteFile(const std::string& path, const Tree& tree);
    void LogError(const std::string& text);

    mutable std::mutex mutex_;
    // Held apart so that the many readers of this header need not parse
    // the property tree.
    std::unique_ptr<Tree> tree_;
    qz::vok::logfile* log_ = nullptr;
};

// The operation password: its key (Main.ini's "Pwd") and its default.
inline constexpr char kPasswordKey[] = "MainFrm.Pssword";
inline constexpr char kDefaultPassword[] = "739146";

// The settings of the process-wide configuration.
bool GetConfigBool(const std::string& key, bool def);
void SetConfigBool(const std::string& key, bool value);
std::string GetConfigString(const std::string& key, const std::string& def);
void SetConfigString(const std::string& key, const std::string& value);
// The password the configuration holds, or the default.
std::string OperationPassword();
