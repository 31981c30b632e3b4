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

namespace {

constexpr char kFileName[] = "Processor.pro";

namespace store = qz::vok::file_store;

} // namespace

struct CQelProcessor::Records {
    std::vector<std::shared_ptr<CQelBoard>> boards;
    std::vector<std::shared_ptr<CQelSigSrc>> sources;
    std::vector<std::shared_ptr<CQelSigSrc>> splits;
    std::vector<std::shared_ptr<CQelSigOut>> outputs;
};

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
    Records records = MakeRecords(data);
    {
        Guard guard(lock_->mutex);
        CommitLocked(data, std::move(records));
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

CQelProcessor::Records CQelProcessor::MakeRecords(const ProcessorFileData& d)
{
    Records r;
    for (const auto& values : d.boards) {
        auto board = std::make_shared<CQelBoard>(values);
        AdoptRecord(*board);
        r.boards.push_back(std::move(board));
    }
    auto boardOf = [&r](uint32_t id) -> std::shared_ptr<CQelBoard> {
        for (const auto& board : r.boards)
            if (board->GetId() == id)
                return board;
        return nullptr;
    };
    auto isSource = [&r](uint32_t id) {
        return std::any_of(r.sources.begin(), r.sources.end(), [id](const auto& s) { return s->GetId() == id; });
    };

    for (const auto& values : d.sources) {
        auto source = std::make_shared<CQelSigSrc>(values);
        for (const auto& c : values.children)
            source->AddChild(c.id, c.type, c.name, c.resolution, c.routingId);
        source->board_ = boardOf(values.boardId);
        if (values.type == CQelSigSrc::kType4K) {
            // Four quarter pictures, each half as wide and high.
            for (int32_t q = 0; q < CQelSigSrc::kQuarterCount; ++q) {
                const uint32_t id = values.id + static_cast<uint32_t>(q);
                if (isSource(id))
                    continue;
                auto quarter = std::make_shared<CQelSigSrc>(id);
                quarter->type_ = values.type;
                quarter->board_ = source->board_;
                quarter->resolution_ =
                    Resolution{values.resolution.width / 2, values.resolution.height / 2, values.resolution.rate};
                quarter->edid_ = 0;
                quarter->Adopt(lock_, weak_from_this());
                r.splits.push_back(std::move(quarter));
            }
        }
        source->Adopt(lock_, weak_from_this());
        r.sources.push_back(std::move(source));
    }

    for (const auto& values : d.outputs) {
        auto output = std::make_shared<CQelSigOut>(values);
        output->board_ = boardOf(values.boardId);
        AdoptRecord(*output);
        r.outputs.push_back(std::move(output));
    }
    return r;
}

void CQelProcessor::CommitLocked(const ProcessorFileData& d, Records records)
{
    kind_ = d.kind;
    name_ = d.name;
    obm_ = d.obm;
    authorization_ = d.authorization;
    app_ = d.app;
    const std::string inUse = connection_.serialDeviceInUse;
    connection_ = d.connection;
    connection_.serialDeviceInUse = inUse; // found by the port search, not stored
    boards_ = std::move(records.boards);
    sourceScaler_ = d.sourceScaler;
    sigSrcs_ = std::move(records.sources);
    splitSrcs_ = std::move(records.splits);
    resolutions_ = d.resolutions;
    customizeResolution_ = d.customizeResolution;
    outputResolutionId_ = d.outputResolutionId;
    outputResolution_ = Resolution{1920, 1080, 60};
    for (const auto& entry : resolutions_) {
        if (entry.id == outputResolutionId_) {
            outputResolution_ = entry.resolution;
            break;
        }
    }
    sigOuts_ = std::move(records.outputs);
    outputsBeforeDiscovery_.reset();
    wall_ = d.wall;
    ++wallRevision_;
    planNames_ = d.planNames;
}

ProcessorFileData CQelProcessor::SnapshotLocked() const
{
    ProcessorFileData d;
    d.kind = kind_;
    d.name = name_;
    d.obm = obm_;
    d.authorization = authorization_;
    d.app = app_;
    d.connection = connection_;
    for (const auto& board : boards_)
        d.boards.push_back(board->ValuesLocked());
    d.sourceScaler = sourceScaler_;
    for (const auto& source : sigSrcs_)
        d.sources.push_back(source->ValuesLocked());
    d.outputResolutionId = outputResolutionId_;
    if (outputsBeforeDiscovery_)
        d.outputs = *outputsBeforeDiscovery_;
    else
        for (const auto& output : sigOuts_)
            d.outputs.push_back(output->ValuesLocked());
    d.wall = wall_;
    d.resolutions = resolutions_;
    d.customizeResolution = customizeResolution_;
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
        const auto it =
            std::find_if(sigSrcs_.begin(), sigSrcs_.end(), [id](const auto& s) { return s->GetId() == id; });
        if (it == sigSrcs_.end() || (*it)->name_ == name)
            return;
        (*it)->name_ = name;
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
