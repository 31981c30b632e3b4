#include "model/processor_settings.h"

#include <charconv>
#include <string_view>

#include "model/model_types.h"
#include "model/processor_file.h"

namespace {

struct TypeReplyKind {
    int32_t kind;
    const char* name;
};

// Reply types 0 to 3 of "GP TYPE".
constexpr TypeReplyKind kTypeReplyKinds[] = {
    {8, "16x16处理器"},
    {10, "36x36处理器"},
    {7, "8x8处理器"},
    {8, "8x8Pro处理器"},
};
constexpr int kTypeReply8x8Pro = 3;
constexpr std::string_view kTypeReplyPrefix = "GP TYPE";

// The reply type of a type reply; false when the line carries none.
bool ParseTypeReply(std::string_view line, int& type)
{
    if (line.substr(0, kTypeReplyPrefix.size()) != kTypeReplyPrefix)
        return false;
    line.remove_prefix(kTypeReplyPrefix.size());
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return false;
    line.remove_prefix(start);
    if (!line.empty() && line.front() == '+')
        line.remove_prefix(1);
    const auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), type);
    return ec == std::errc();
}

using Guard = std::lock_guard<std::mutex>;

} // namespace

ProcessorSettings::ProcessorSettings(CQelProcessor& owner, std::shared_ptr<ProcessorLock> lock)
    : owner_(owner), lock_(std::move(lock))
{
}

int32_t ProcessorSettings::GetKind() const
{
    return ReadLocked(lock_, kind_);
}

void ProcessorSettings::SetKind(int32_t kind)
{
    WriteLocked(lock_, kind_, kind);
}

std::string ProcessorSettings::GetName() const
{
    return ReadLocked(lock_, name_);
}

void ProcessorSettings::SetName(const std::string& name)
{
    WriteLocked(lock_, name_, name);
}

int32_t ProcessorSettings::GetObm() const
{
    return ReadLocked(lock_, obm_);
}

void ProcessorSettings::SetObm(int32_t obm)
{
    WriteLocked(lock_, obm_, obm);
}

int32_t ProcessorSettings::GetAuthorization() const
{
    return ReadLocked(lock_, authorization_);
}

void ProcessorSettings::SetAuthorization(int32_t value)
{
    WriteLocked(lock_, authorization_, value);
}

int32_t ProcessorSettings::GetSourceScaler() const
{
    return ReadLocked(lock_, sourceScaler_);
}

void ProcessorSettings::SetSourceScaler(int32_t scaler)
{
    WriteLocked(lock_, sourceScaler_, scaler);
}

ProcessorSettings::Connection ProcessorSettings::GetConnection() const
{
    return ReadLocked(lock_, connection_);
}

void ProcessorSettings::SetConnection(const Connection& connection)
{
    WriteLocked(lock_, connection_, connection);
}

std::string ProcessorSettings::GetSerialDevice() const
{
    const Connection connection = GetConnection();
    return connection.serialAutoDetect == 1 ? connection.serialDeviceInUse : connection.serialDevice;
}

ProcessorSettings::AppOptions ProcessorSettings::GetAppOptions() const
{
    return ReadLocked(lock_, app_);
}

void ProcessorSettings::SetAppOptions(const AppOptions& options)
{
    WriteLocked(lock_, app_, options);
}

Rect ProcessorSettings::GetInflateRect() const
{
    Guard guard(lock_->mutex);
    if (obm_ == 1 && app_.inflateEnable == 1)
        return app_.inflateRect;
    return Rect{};
}

uint32_t ProcessorSettings::GetChannelId() const
{
    return ReadLocked(lock_, channelId_);
}

void ProcessorSettings::SetChannelId(uint32_t id)
{
    WriteLocked(lock_, channelId_, id);
}

bool ProcessorSettings::IsStatusPollEnabled() const
{
    return ReadLocked(lock_, statusPoll_);
}

void ProcessorSettings::SetStatusPoll(bool enabled)
{
    WriteLocked(lock_, statusPoll_, enabled);
}

bool ProcessorSettings::IsModified() const
{
    return ReadLocked(lock_, modified_);
}

void ProcessorSettings::SetModified(bool modified)
{
    WriteLocked(lock_, modified_, modified);
}

void ProcessorSettings::OnTypeReply(const std::string& line)
{
    int type = 0;
    const bool readable = ParseTypeReply(line, type);
    Guard guard(lock_->mutex);
    typeReply_ = line;
    // A line without a readable type tells nothing about the device.
    if (!readable || type < 0 || type > kTypeReply8x8Pro)
        return;
    const TypeReplyKind& entry = kTypeReplyKinds[type];
    if (type != kTypeReply8x8Pro && kind_ == entry.kind)
        return;
    modified_ = true;
    kind_ = entry.kind;
    name_ = entry.name;
}

std::string ProcessorSettings::GetTypeReplyText() const
{
    return ReadLocked(lock_, typeReply_);
}

bool ProcessorSettings::AddFpgaVersion(int32_t key, const std::string& text)
{
    Guard guard(lock_->mutex);
    return fpgaVersions_.emplace(key, text).second;
}

void ProcessorSettings::ClearFpgaVersions()
{
    Guard guard(lock_->mutex);
    fpgaVersions_.clear();
}

ProcessorSettings::VersionTable ProcessorSettings::GetFpgaVersions() const
{
    return ReadLocked(lock_, fpgaVersions_);
}

bool ProcessorSettings::AddFirmwareVersion(int32_t key, const std::string& text)
{
    Guard guard(lock_->mutex);
    return firmwareVersions_.emplace(key, text).second;
}

void ProcessorSettings::ClearFirmwareVersions()
{
    Guard guard(lock_->mutex);
    firmwareVersions_.clear();
}

ProcessorSettings::VersionTable ProcessorSettings::GetFirmwareVersions() const
{
    return ReadLocked(lock_, firmwareVersions_);
}

std::string ProcessorSettings::GetPlanName(int32_t slot) const
{
    Guard guard(lock_->mutex);
    const auto it = planNames_.find(slot);
    return it != planNames_.end() ? it->second : std::to_string(slot);
}

void ProcessorSettings::SetPlanName(int32_t slot, const std::string& name)
{
    if (slot < CQelProcessor::kFirstPlanSlot || slot > CQelProcessor::kLastPlanSlot)
        return;
    {
        Guard guard(lock_->mutex);
        planNames_[slot] = CutPlanName(name);
    }
    owner_.SavePro();
}

void ProcessorSettings::CommitLocked(const ProcessorFileData& d)
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
    planNames_ = d.planNames;
}

void ProcessorSettings::SnapshotLocked(ProcessorFileData& d) const
{
    d.kind = kind_;
    d.name = name_;
    d.obm = obm_;
    d.authorization = authorization_;
    d.app = app_;
    d.connection = connection_;
    d.sourceScaler = sourceScaler_;
    d.planNames = planNames_;
}
