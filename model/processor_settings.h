#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "model/processor.h"

struct ProcessorFileData;

// A processor's settings (kind, name, link settings, the file's App
// switches, OBM, authorization, source scaler, preset names) and what the
// device reported of itself (the type reply, the version tables), with the
// flags the program keeps beside them. They sit behind the processor's lock.
class ProcessorSettings {
public:
    using Connection = CQelProcessor::Connection;
    using AppOptions = CQelProcessor::AppOptions;
    using VersionTable = CQelProcessor::VersionTable;

    ProcessorSettings(CQelProcessor& owner, std::shared_ptr<ProcessorLock> lock);
    ProcessorSettings(const ProcessorSettings&) = delete;
    ProcessorSettings& operator=(const ProcessorSettings&) = delete;

    int32_t GetKind() const;
    void SetKind(int32_t kind);
    std::string GetName() const;
    void SetName(const std::string& name);

    int32_t GetObm() const;
    void SetObm(int32_t obm);
    int32_t GetAuthorization() const;
    void SetAuthorization(int32_t value);
    int32_t GetSourceScaler() const;
    void SetSourceScaler(int32_t scaler);
    Connection GetConnection() const;
    void SetConnection(const Connection& connection);
    // The configured serial device, or the detected one with auto-detect on.
    std::string GetSerialDevice() const;
    AppOptions GetAppOptions() const;
    void SetAppOptions(const AppOptions& options);
    // The App element's inflate rectangle while OBM 1 and the switch are on,
    // else empty.
    Rect GetInflateRect() const;
    uint32_t GetChannelId() const;
    void SetChannelId(uint32_t id);
    // The periodic status poll sends nothing while this is off.
    bool IsStatusPollEnabled() const;
    void SetStatusPoll(bool enabled);
    bool IsModified() const;
    void SetModified(bool modified);

    // The type reply ("GP TYPE t n"): a known type sets the kind and name.
    void OnTypeReply(const std::string& line);
    std::string GetTypeReplyText() const;

    // Version tables, board key to text (0 the main control board). A key
    // keeps the first text it gets until the table is cleared.
    bool AddFpgaVersion(int32_t key, const std::string& text);
    void ClearFpgaVersions();
    VersionTable GetFpgaVersions() const;
    bool AddFirmwareVersion(int32_t key, const std::string& text);
    void ClearFirmwareVersions();
    VersionTable GetFirmwareVersions() const;

    // Names of the preset slots 1 to 20; an unnamed slot reads as its number.
    std::string GetPlanName(int32_t slot) const;
    // Stores the name (cut to 259 bytes) and saves the processor file.
    void SetPlanName(int32_t slot, const std::string& name);

    // The processor file's part, called with the lock held.
    void CommitLocked(const ProcessorFileData& data);
    void SnapshotLocked(ProcessorFileData& data) const;
    int32_t KindLocked() const { return kind_; }

private:
    CQelProcessor& owner_;
    std::shared_ptr<ProcessorLock> lock_;

    int32_t kind_ = 0;
    std::string name_;
    int32_t sourceScaler_ = 0;
    bool statusPoll_ = true;
    int32_t obm_ = CQelProcessor::kDefaultObm;
    int32_t authorization_ = 0;
    Connection connection_;
    AppOptions app_;
    uint32_t channelId_ = 0;
    bool modified_ = false;
    VersionTable fpgaVersions_;
    VersionTable firmwareVersions_;
    std::map<int32_t, std::string> planNames_;
    std::string typeReply_;
};
