#include "dialogs/about_text.h"

#include <QRegularExpression>
#include <filesystem>
#include <fstream>

#include "context/context.h"
#include "core/program_log.h"
#include "corlane/app_path.h"
#include "corlane/file_store.h"
#include "corlane/fstr.h"
#include "tavrix_version.h"

namespace {

void LogAbout(const std::string& path, const char* why)
{
    if (auto* log = CQelContext::GetLog())
        log->error("%s: %s", path.c_str(), why);
}

// Qt draws a carriage return as a glyph of its own; a line may end in
// more than one ("\r\r\n", from a file converted twice).
QString DisplayLines(const std::string& utf8)
{
    QString text = QString::fromStdString(utf8);
    static const QRegularExpression kLineEnd(QStringLiteral("\r+\n"));
    text.replace(kLineEnd, QStringLiteral("\n"));
    return text;
}

} // namespace

std::string AboutFilePath()
{
    return qz::vok::path::GetSysPath() + "/" + abouttext::kFileName;
}

bool WriteFirstStartAbout(const std::string& path)
{
    namespace store = qz::vok::file_store;
    std::string text;
    qz::vok::fstr_utf8toansi(TAVRIX_PROGRAM_NAME "\r\n版本 " TAVRIX_VERSION "\r\n", text);
    std::string error;
    const store::create_status written = store::create_file(path, text, error);
    if (written == store::create_status::failed)
        LogAbout(path, ("not written: " + error).c_str());
    return written == store::create_status::created;
}

QString ReadAboutText(const std::string& path)
{
    // Only a regular file: a pipe of that name would block the opening.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return QString();
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return QString();
    std::string bytes(abouttext::kMaxBytes + 1, '\0');
    file.read(bytes.data(), std::streamsize(bytes.size()));
    bytes.resize(size_t(file.gcount()));
    if (bytes.size() > abouttext::kMaxBytes) {
        bytes.resize(abouttext::kMaxBytes);
        // A cut line could end inside a double-byte character.
        const size_t lastBreak = bytes.rfind('\n');
        if (lastBreak == std::string::npos) {
            const char why[] = "not read: its first line is longer than 1 MiB; no about text is shown";
            LogAbout(path, why);
            PrintNotice(path + ": " + why);
            return QString();
        }
        bytes.resize(lastBreak + 1);
        LogAbout(path, "larger than 1 MiB; only its first whole lines are shown");
    }

    std::string utf8;
    if (qz::vok::fstr_ansitoutf8(bytes, utf8))
        return DisplayLines(utf8);
    utf8.clear();
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        end = end == std::string::npos ? bytes.size() : end + 1;
        std::string line;
        if (qz::vok::fstr_ansitoutf8(bytes.substr(start, end - start), line))
            utf8 += line;
        start = end;
    }
    LogAbout(path, "lines that are not GB2312 text are left out");
    return DisplayLines(utf8);
}

QString VersionListText(const std::map<int32_t, std::string>& versions)
{
    std::string text;
    for (const auto& [board, version] : versions)
        text += version;
    return DisplayLines(text);
}
