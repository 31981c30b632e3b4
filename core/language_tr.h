#pragma once
#include <QString>
#include <map>
#include <string>

namespace qel {

// The caption translation table, loaded once at start-up from
// LanguageTr.xml. Mode 0 shows the Chinese texts as written; mode 1 shows
// the English text of each entry that has one. The table keeps the mode it
// was loaded with; other rules on the mode are their callers' own.
class CLanguageTr {
public:
    static CLanguageTr& get_instance();

    CLanguageTr() = default;
    virtual ~CLanguageTr() = default;
    CLanguageTr(const CLanguageTr&) = delete;
    CLanguageTr& operator=(const CLanguageTr&) = delete;

    // Keeps `mode` and replaces the table with the file's entries. False,
    // with an empty table, when the file is missing, unreadable, malformed
    // or not a translation table; `why` then says why (empty when missing).
    // The file is only read, never written.
    bool Load(int mode, const std::string& path, std::string* why = nullptr);
    QString Translate(const QString& text, int mode) const;
    static QString MakeKey(const QString& text, int mode);

    int GetMode() const { return mode_; }

private:
    std::map<QString, QString> table_;
    int mode_ = 0;
};

} // namespace qel

// What every caption and message goes through before it is shown.
QString TranslateText(const QString& text);
// The same for a text of the program's own, in UTF-8.
QString Tr(const char* text);
