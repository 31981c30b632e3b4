#pragma once
#include <cstdint>
#include <mutex>
#include <string>

class CQelProcessor;
struct ProcessorFileData;

// A processor's file: loading it into the processor, saving the processor
// into it, a first start's file and the renaming of one source in it.
// Reads and writes the processor's fields under its lock.
class ProcessorStore {
public:
    explicit ProcessorStore(CQelProcessor& owner);
    ProcessorStore(const ProcessorStore&) = delete;
    ProcessorStore& operator=(const ProcessorStore&) = delete;

    // A file that cannot be used leaves the model as it was: a damaged one
    // is kept beside itself as "<name>.bad", one that cannot be read is left
    // alone and never replaced.
    bool LoadPro(const std::string& path);
    // A first start: writes the standard processor file at `path` and loads
    // it, when nothing at all is there. False when something was there or it
    // could not be written (then logged); the model is left as it was.
    bool CreateFirstStartPro(const std::string& path);
    bool SavePro();
    // Renames the source and rewrites its element of the processor file.
    void SaveSigSrcsToPro(const std::string& name, uint32_t id);

private:
    void CommitLocked(const ProcessorFileData& data);
    ProcessorFileData SnapshotLocked() const;

    CQelProcessor& owner_;
    // Serialises writers of the processor file; taken before the processor's
    // lock, never while it is held.
    std::mutex fileMutex_;
};
