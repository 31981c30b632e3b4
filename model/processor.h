#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "model/model_values.h"
#include "model/receiver_ptr.h"
#include "platform/clock.h"

struct ProcessorFileData;
class CQelBoard;
class CQelSigOut;
class CQelSigSrc;
struct tagOSD_DATA_EX_S;
struct tagOSD_DATA_EX2_S;
class IProgress;
class ProcessorJobs;
class ProcessorLink;
class ProcessorRecords;
class ProcessorStore;
struct ProcessorLock;
class ProcessorRequests;
namespace request {
struct Args; // model/requests.h
}

// The program's picture of one video-wall processor: its kind, link
// settings, boards, inputs, outputs, wall, output resolutions and preset
// names. Reply parsers change it on a link's thread while the UI reads it,
// so all its state sits behind one lock, shared with the records it holds;
// accessors hand out values and copies, never references into it.
class CQelProcessor : public std::enable_shared_from_this<CQelProcessor> {
public:
    class CInputOSD;

    struct ResolutionEntry {
        uint32_t id = 0;
        std::string friendName;
        Resolution resolution;
        friend bool operator==(const ResolutionEntry&, const ResolutionEntry&) = default;
    };

    struct Connection {
        int32_t type = 1; // 1 TCP, 2 serial
        std::string tcpAddress = "192.168.0.100";
        std::string tcpPort = "8978";
        std::string tcpType = "0";
        std::string serialDevice = "COM1";
        std::string serialDeviceInUse; // found by the port search
        int32_t serialAutoDetect = 1;
        int32_t serialRate = 115200;
        friend bool operator==(const Connection&, const Connection&) = default;
    };

    // Switches the views and builders read; the file's "App" element.
    struct AppOptions {
        int32_t segWindowPoorTip = 0;
        int32_t videoWindowInvalidRectTip = 0;
        int32_t disableResourcePoorTip = 0;
        int32_t planPatternCount = 0;
        int32_t inflateEnable = 0;
        Rect inflateRect;
        int32_t algorithmId = 0;
        int32_t moreButtonSwitch = 0;
        friend bool operator==(const AppOptions&, const AppOptions&) = default;
    };

    // Wall cell (row, column) to output id.
    using WallMap = std::map<std::pair<int32_t, int32_t>, int32_t>;

    struct Wall {
        int32_t rows = 1;
        int32_t cols = 1;
        std::vector<int32_t> rowHeights;
        std::vector<int32_t> colWidths;
        Rect margin;
        WallMap cells;
        std::vector<int32_t> watch;
        friend bool operator==(const Wall&, const Wall&) = default;
    };

    using VersionTable = std::map<int32_t, std::string>;

    static constexpr int32_t kFirstPlanSlot = 1;
    static constexpr int32_t kLastPlanSlot = 20;
    static constexpr size_t kMaxPlanNameBytes = 259;
    static constexpr uint32_t kCustomResolutionId = 255;
    static constexpr uint32_t kDefaultResolutionId = 3;
    static constexpr int32_t kDefaultObm = 10000;

    // What the processor is busy with; requests a job forbids are refused.
    enum JobState : int32_t {
        kJobIdle = 0,
        kJobInputOsdTransfer = 1,
        kJobOsdSave = 2,
        kJobReset = 3,
    };
    static constexpr int kOsdSaveSteps = 50;

    CQelProcessor();
    virtual ~CQelProcessor();
    CQelProcessor(const CQelProcessor&) = delete;
    CQelProcessor& operator=(const CQelProcessor&) = delete;

    uint32_t GetId() const;
    void SetId(uint32_t id);
    int32_t GetKind() const;
    void SetKind(int32_t kind);
    std::string GetName() const;
    void SetName(const std::string& name);
    // Kinds 4, 7, 8, 9 and 10 size their wall by row heights and column
    // widths, and keep those and the watch list in the file.
    static bool HasCellSizes(int32_t kind);

    // The boards, sources, outputs and output resolutions.
    ProcessorRecords& records() { return *records_; }
    const ProcessorRecords& records() const { return *records_; }
    // The records' names callers use most.
    bool AddSigSrc(const std::shared_ptr<CQelSigSrc>& source, bool postEvent, bool toSplitList);
    void RemoveSigSrc(uint32_t id);
    std::shared_ptr<CQelSigSrc> GetSigSrc(uint32_t id) const;
    std::vector<std::shared_ptr<CQelSigSrc>> GetSigSrcs() const;
    size_t GetSigSrcCount() const;
    bool AddSigOut(const std::shared_ptr<CQelSigOut>& output);
    std::shared_ptr<CQelSigOut> GetSigOut(uint32_t id) const;
    std::vector<std::shared_ptr<CQelSigOut>> GetSigOuts() const;
    size_t GetSigOutCount() const;
    bool AddBoard(const std::shared_ptr<CQelBoard>& board);
    std::shared_ptr<CQelBoard> GetBoard(uint32_t id) const;
    Resolution GetOutputResolution() const;
    void SetOutputResolution(int32_t width, int32_t height, int32_t rate);
    void SetOutputResolutionId(uint32_t id);
    void AddResolution(const ResolutionEntry& entry);
    // Renames the source and rewrites its element of the processor file.
    void SaveSigSrcsToPro(const std::string& name, uint32_t id);

    // The wall.
    Wall GetWall() const;
    void SetWall(const Wall& wall);
    // Grows with every change of the wall, so a copy can be kept while it
    // stays the same.
    uint64_t GetWallRevision() const;
    Size GetWallPixelSize() const;
    int32_t GetWallCellOutput(int32_t row, int32_t col) const; // -1 when none
    bool FindWallCellOfOutput(int32_t outputId, int32_t& row, int32_t& col) const;
    // False on a hit, with the output's board and port; true on a miss.
    bool HitTestWallOutput(int32_t x, int32_t y, uint32_t& board, uint32_t& port) const;
    Rect GetInflateRect() const;

    // Settings.
    int32_t GetObm() const;
    void SetObm(int32_t obm);
    int32_t GetAuthorization() const;
    void SetAuthorization(int32_t value);
    int32_t GetSourceScaler() const;
    void SetSourceScaler(int32_t scaler);
    Connection GetConnection() const;
    void SetConnection(const Connection& connection);
    AppOptions GetAppOptions() const;
    void SetAppOptions(const AppOptions& options);
    uint32_t GetChannelId() const;
    void SetChannelId(uint32_t id);
    // The periodic status poll sends nothing while this is off.
    bool IsStatusPollEnabled() const;
    void SetStatusPoll(bool enabled);
    bool IsModified() const;
    void SetModified(bool modified);

    // The type reply ("GP TYPE t n").
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

    // The processor file. A file that cannot be used leaves the model as it
    // was: a damaged one is kept beside itself as "<name>.bad", one that
    // cannot be read is left alone and never replaced.
    bool LoadPro(const std::string& path);
    // A first start: writes the standard processor file at `path` and loads
    // it, when nothing at all is there. False when something was there or it
    // could not be written (then logged); the model is left as it was.
    bool CreateFirstStartPro(const std::string& path);
    bool SavePro();
    // The processor file in the hardware folder.
    static std::string ProFilePath();

    CInputOSD& GetInputOsd() { return *inputOsd_; }
    const CInputOSD& GetInputOsd() const { return *inputOsd_; }

    // Command paths. Every command is ASCII text ending in "\r\n". Queued
    // commands go through the paced sender: false when the text exceeds
    // 1024 bytes or the queue is full (logged), true for an empty text,
    // which is not queued.
    bool QueueCommand(std::string_view text);
    bool QueueEchoedCommand(std::string_view text);
    uint32_t GetQueuedCommandCount() const;
    // Tests: sees every command the queue accepts (see CQelProDelaySender).
    using PushObserver = std::function<void(std::string_view text, int32_t type)>;
    void SetPushObserver(PushObserver observer);
    // The pause after each paced command: 25 ms on TCP, 40 ms on serial.
    void SetSenderPause(unsigned ms);
    unsigned GetSenderPause() const;
    // Shut-down: ends the sender thread; still queued commands are dropped.
    void StopSender();
    // Sent at once; with g_NetType 1 true only when the device echoed the
    // command within the reply time-out (100 ms) of its leaving, else
    // always true.
    bool SendCommand(std::string_view text);
    // Sent at once; true with the first acknowledged reply to this command
    // (a line that starts with its two leading words) within the reply
    // time-out of its leaving. Echoes of earlier commands do not end the wait.
    bool SendAndWait(std::string_view text, std::string& reply);
    // Tests whose simulated device does answer lengthen the wait, so that a
    // busy machine cannot make an answer late.
    void SetReplyTimeout(platform::Duration timeout);
    // Straight onto the processor's channel; false without one.
    bool ChannelSend(std::string_view text);
    // The same, and waits until the link has written the text to its socket
    // or port; when it did, nothing when it was not sent or not written
    // within a second.
    std::optional<platform::TimePoint> ChannelSendWritten(std::string_view text);
    // The reply path hands over acknowledged replies (set-command echoes,
    // type and version replies) here, on the link's thread ...
    void OnReply(const std::string& line);
    // ... and every line no reply handler takes here: such a line can only
    // confirm a pending command whose echo it is.
    void OnUnmatchedReply(const std::string& line);

    // The link. Connect closes and forgets the old channel and registers and
    // opens a new one made from the connection fields; false when none could
    // be made (no serial port answered, unknown connection type).
    bool Connect();
    // True while the processor's channel reports its link open.
    bool IsConnected() const;
    // Closes the channel, which stays registered; false without one.
    bool Disconnect();

    // Device requests. Those with an int result give 0 for done and 1 for
    // refused or failed (LoadPreset: 1 when confirmed); the network setters
    // give true for success. A model a request does not serve gets nothing.
    int SetClock(int a, int b, int c, int d, int e, int f);
    int LoadPreset(int preset);
    int SetBackgroundColor(uint8_t red, uint8_t green, uint8_t blue);
    int WriteBackgroundYuv(int board, uint8_t red, uint8_t green, uint8_t blue);
    int SendRawText(const std::string& text);
    // The network queries of request codes 11 to 20.
    int SendQuery(int code);
    bool SetNetwork(const std::string& address, const std::string& port);
    bool SetNetwork2(const std::string& address, const std::string& port);
    bool SetSubnetMask(const std::string& mask);
    bool SetSubnetMask2(const std::string& mask);
    bool SetGateway(const std::string& gateway);
    bool SetGateway2(const std::string& gateway);
    int SetOutputTiming(uint32_t resolutionId);
    int SetTestPattern(uint32_t outputId, int pattern, uint32_t colour);
    int ProgramEdid(uint32_t inputId, int choice);
    bool SetInputRouting(uint32_t inputId, int choice);
    // False when the processor has no such source.
    bool SetPictureControl(uint32_t inputId, int control, int value);
    int SetTimeOsd(const tagOSD_DATA_EX2_S& item);
    int QueryStatus();
    void RequestSlotDiscovery();
    int QueueCommandList(const std::vector<std::string>& lines);
    // Sends the lines confirmed, `group` at a time; the receiver (may be
    // null) hears (done, total), (total + 1, total) on failure.
    int SendOsdLines(IProgress* receiver, const std::vector<std::string>& lines, int group, uint32_t delayMs);
    // Stores the lines as display mode `mode` and polls for completion for
    // at most 20 s; 0 when the device reported it stored.
    int SwitchDisplayMode(int mode, IProgress* receiver, bool abortOnFailure, const std::vector<std::string>& lines);
    // Stores the model's empty layout into display mode `step`.
    int ClearOutputWindows(int step, IProgress* receiver);
    // The configured serial device, or the detected one with auto-detect on.
    std::string GetSerialDevice() const;
    // Every column as wide as the output, every row as high.
    void ResetWallCellSizes();

    // The one entry of operator requests: codes 0 to 37 run their sender
    // (or start a job) unless the running job forbids them; 1000 to 1002 end
    // the reset, the input OSD transfer and the OSD save. 1 when refused,
    // else the request's result.
    int Dispatch(int code);
    int Dispatch(int code, const request::Args& args);
    int32_t GetJobState() const;
    // Shut-down: asks a running job to stop, joins the job threads (those
    // of completed jobs too) and refuses new jobs. No job receiver is called
    // once this returns.
    void StopJobs();

    // The request methods: each passes its arguments to Dispatch and
    // returns its result.
    int StatusQueryRequest();
    int SetNetworkRequest(const std::string& address, const std::string& port);
    int SetOutputTimingRequest(uint32_t resolutionId);
    int SetTestPatternRequest(uint32_t outputId, int pattern, uint32_t colour);
    int StartReset(ReceiverPtr<IResetProgress> receiver);
    int SetClockRequest(int a, int b, int c, int d, int e, int f);
    int SendOsdBufferRequest(const std::vector<std::string>& lines, int group, uint32_t delayMs, IProgress* receiver);
    int QueueCommandListRequest(const std::vector<std::string>& lines);
    int SwitchDisplayModeRequest(const std::vector<std::string>& lines, int mode, IProgress* receiver);
    // Writes the step count to `steps` when the save starts.
    int StartOsdPosition(int first, int second, ReceiverPtr<IOSDSavingProgress> receiver, int& steps, int side);
    int QueryIpRequest();
    int QueryPortRequest();
    int QuerySubnetMaskRequest();
    int QueryGatewayRequest();
    int QueryIp2Request();
    int QueryPort2Request();
    int QuerySubnetMask2Request();
    int QueryGateway2Request();
    int StartSendInputOsd(int unused, ReceiverPtr<IIOSDSendingProgress> receiver, const std::vector<uint32_t>& keys);
    int SendOsdImageRequest(int unused, IProgress* receiver, std::shared_ptr<const tagOSD_DATA_EX_S> item);
    int ProgramEdidRequest(uint32_t inputId, int choice);
    int SetFreezeRequest(int on);
    // 1 when the device confirmed the recall, 0 when not; a refusal also
    // gives 1.
    int RecallPreset(int preset);
    int SetOutputBoardColor(uint8_t red, uint8_t green, uint8_t blue);
    int SetTimeOsdRequest(const tagOSD_DATA_EX2_S& item);
    int EnableAllTimeRequest(int on);
    int SetSubnetMaskRequest(const std::string& mask);
    int SetGatewayRequest(const std::string& gateway);
    int SetNetwork2Request(const std::string& address, const std::string& port);
    int SetSubnetMask2Request(const std::string& mask);
    int SetGateway2Request(const std::string& gateway);
    int SendRaw(const std::string& text);

protected:
    // Starts a job's thread; throws std::system_error when it cannot.
    virtual std::thread LaunchJob(std::function<void()> body);

private:
    friend class ProcessorJobs;  // starts its threads through LaunchJob, runs the requests
    friend class ProcessorStore; // loads and saves the fields under the lock
    using Guard = std::lock_guard<std::mutex>;

    std::shared_ptr<ProcessorLock> lock_;

    int32_t kind_ = 0;
    std::string name_;
    std::unique_ptr<ProcessorRecords> records_;
    int32_t sourceScaler_ = 0;
    bool statusPoll_ = true;
    int32_t obm_ = kDefaultObm;
    int32_t authorization_ = 0;
    Wall wall_;
    uint64_t wallRevision_ = 0;
    Connection connection_;
    AppOptions app_;
    uint32_t channelId_ = 0;
    bool modified_ = false;
    VersionTable fpgaVersions_;
    VersionTable firmwareVersions_;
    std::map<int32_t, std::string> planNames_;
    std::string typeReply_;
    std::unique_ptr<CInputOSD> inputOsd_;
    std::unique_ptr<ProcessorStore> store_;

    std::unique_ptr<ProcessorJobs> jobs_;
    std::unique_ptr<ProcessorRequests> requests_;
    // Last: its sender's thread uses the members above and is stopped first.
    std::unique_ptr<ProcessorLink> link_;
};
