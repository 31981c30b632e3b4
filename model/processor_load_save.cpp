#include "model/processor.h"

#include <algorithm>

#include "core/events.h"
#include "corlane/app_path.h"
#include "corlane/file_store.h"
#include "model/input_osd.h"
#include "model/model_log.h"
#include "model/net_type.h"
#include "model/pending_events.h"
#include "model/processor_file.h"
#include "model/processor_records.h"

namespace {

constexpr char kFileName[] = "Processor.pro";

namespace store = qz::vok::file_store;

} // namespace

std::string CQelProcessor::ProFilePath()
{
    return qz::vok::path::GetHardwarePath() + "/" + kFileName;
}

bool CQelProcessor::LoadPro(const std::string& path)
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
    ProcessorRecords::Loaded records = records_->MakeLoaded(data);
    {
        Guard guard(lock_->mutex);
        CommitLocked(data);
        records_->CommitLocked(data, std::move(records));
    }
    inputOsd_->Load();
    return true;
}

bool CQelProcessor::CreateFirstStartPro(const std::string& path)
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

void CQelProcessor::CommitLocked(const ProcessorFileData& d)
{
    kind_ = d.kind;
    name_ = d.name;
    obm_ = d.obm;
    authorization_ = d.authorization;
    app_ = d.app;
    const std::string inUse = connection_.serialDeviceInUse;
    connection_ = d.connection;
    connection_.serialDeviceInUse = inUse; // found by the port search, not stored
    sourceScaler_ = d.sourceScaler;
    wall_ = d.wall;
    ++wallRevision_;
    planNames_ = d.planNames;
}

ProcessorFileData CQelProcessor::SnapshotLocked() const
{
    ProcessorFileData d;
    records_->SnapshotLocked(d);
    d.kind = kind_;
    d.name = name_;
    d.obm = obm_;
    d.authorization = authorization_;
    d.app = app_;
    d.connection = connection_;
    d.sourceScaler = sourceScaler_;
    d.wall = wall_;
    d.planNames = planNames_;
    return d;
}

bool CQelProcessor::SavePro()
{
    std::lock_guard<std::mutex> file(fileMutex_);
    ProcessorFileData data;
    {
        Guard guard(lock_->mutex);
        data = SnapshotLocked();
    }
    const std::string path = ProFilePath();
    std::string error;
    if (!store::replace_file(path, WriteProcessorFile(data, g_NetType.load()), error)) {
        LogModelError("processor file not saved: " + error);
        return false;
    }
    return true;
}

void CQelProcessor::SaveSigSrcsToPro(const std::string& name, uint32_t id)
{
    uint32_t processorId = kNoId;
    {
        Guard guard(lock_->mutex);
        if (!records_->RenameSigSrcLocked(id, name))
            return;
        processorId = lock_->processorId;
    }
    {
        std::lock_guard<std::mutex> file(fileMutex_);
        const std::string path = ProFilePath();
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
