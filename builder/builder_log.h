#pragma once
// The builders' daily logs, "<log folder>/<yyyymmdd>/<name>-<yyyymmdd>.LOG",
// each line appended as it is. A log's file stays open for the day, shared
// by every builder of that name, so a line costs one write.
#include <memory>
#include <string>
#include <string_view>

// Today's log file of the given name; its day folder is made when missing.
std::string BuilderLogFile(const std::string& name);

// One builder's (so one Send's) hold on its log. The open file is checked
// once, at the first line: it is opened again on a new day, or when the
// file at its path is no longer the one open (removed or moved aside).
// A write that fails closes it, and the next line opens it again; while
// it cannot be opened the log is off for the rest of the Send and its
// lines cost nothing.
class CBuilderLog {
public:
    explicit CBuilderLog(std::string name);
    ~CBuilderLog();
    CBuilderLog(const CBuilderLog&) = delete;
    CBuilderLog& operator=(const CBuilderLog&) = delete;

    void Write(std::string_view line);

    struct OpenFile;

private:
    bool Ready();

    std::string name_;
    std::shared_ptr<OpenFile> file_;
    bool checked_ = false;
    bool off_ = false;
};
