#include "model/processor_store.h"

#include "core/events.h"
#include "corlane/app_path.h"
#include "corlane/file_store.h"
#include "model/input_osd.h"
#include "model/model_log.h"
#include "model/model_types.h"
#include "model/net_type.h"
#include "model/pending_events.h"
#include "model/processor.h"
#include "model/processor_file.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"

namespace {

constexpr char kFileName[] = "Processor.pro";

namespace store = qz::vok::file_store;

using Guard = std::lock_guard<std::mutex>;

} // namespace

std::string CQelProcessor::ProFilePath()
{
    return qz::vok::path::GetHardwarePath() + "/" + kFileName;
}

ProcessorStore::ProcessorStore(CQelProcessor& owner) : owner_(owner) {}

bool ProcessorStore::LoadPro(const std::string& path)
{
    const store::read_result file = store::read_file(path);
    if (file.status == store::read_status::missing)
        return false; // a first start: the first save makes the file
    if (file.status == store::read_status::unreadable) {
        LogModelError("processor file " + path + " not loaded (" + file.error +
                      "); it is left as it is and not replaced");
        return false;
    }
    ProcessorFileData data;
    std::string reason;
    if (!ParseProcessorFile(file.bytes, data, reason)) {
        ReportModelDamage("processor file " + path + " not loaded (" + reason + "); " +
                          store::keep_as_bad(path, file.bytes).text);
        return false;
    }
    ProcessorRecords::Loaded records = owner_.records_->MakeLoaded(data);
    {
        Guard guard(owner_.lock_->mutex);
        CommitLocked(data);
        owner_.records_->CommitLocked(data, std::move(records));
    }
    owner_.inputOsd_->Load();
    return true;
}

bool ProcessorStore::CreateFirstStartPro(const std::string& path)
{
    std::string error;
    switch (store::create_file(path, WriteProcessorFile(FirstStartProcessorFile(), g_NetType.load()), error)) {
    case store::create_status::created: return LoadPro(path);
    case store::create_status::exists: return false;
    case store::create_status::failed: break;
    }
    LogModelError("first-start processor file not written: " + error);
    return false;
}

void ProcessorStore::CommitLocked(const ProcessorFileData& d)
{
    owner_.settings_->CommitLocked(d);
    owner_.wall_ = d.wall;
    ++owner_.wallRevision_;
}

ProcessorFileData ProcessorStore::SnapshotLocked() const
{
    ProcessorFileData d;
    owner_.records_->SnapshotLocked(d);
    owner_.settings_->SnapshotLocked(d);
    d.wall = owner_.wall_;
    return d;
}

bool ProcessorStore::SavePro()
{
    std::lock_guard<std::mutex> file(fileMutex_);
    ProcessorFileData data;
    {
        Guard guard(owner_.lock_->mutex);
        data = SnapshotLocked();
    }
    const std::string path = CQelProcessor::ProFilePath();
    std::string error;
    if (!store::replace_file(path, WriteProcessorFile(data, g_NetType.load()), error)) {
        LogModelError("processor file not saved: " + error);
        return false;
    }
    return true;
}

void ProcessorStore::SaveSigSrcsToPro(const std::string& name, uint32_t id)
{
    uint32_t processorId = kNoId;
    {
        Guard guard(owner_.lock_->mutex);
        if (!owner_.records_->RenameSigSrcLocked(id, name))
            return;
        processorId = owner_.lock_->processorId;
    }
    {
        std::lock_guard<std::mutex> file(fileMutex_);
        const std::string path = CQelProcessor::ProFilePath();
        store::read_result stored = store::read_file(path);
        std::string reason;
        if (stored.status == store::read_status::ok && RenameSourceInFile(stored.bytes, id, name, reason)) {
            std::string error;
            if (!store::replace_file(path, stored.bytes, error))
                LogModelError("source " + std::to_string(id) + " not renamed in the file: " + error);
        }
    }
    PostEvent(new CSigSrcRenameEvent(static_cast<int32_t>(processorId), static_cast<int32_t>(id)));
}

// The processor's names for its file.

bool CQelProcessor::LoadPro(const std::string& path)
{
    return store_->LoadPro(path);
}

bool CQelProcessor::CreateFirstStartPro(const std::string& path)
{
    return store_->CreateFirstStartPro(path);
}

bool CQelProcessor::SavePro()
{
    return store_->SavePro();
}

void CQelProcessor::SaveSigSrcsToPro(const std::string& name, uint32_t id)
{
    store_->SaveSigSrcsToPro(name, id);
}
