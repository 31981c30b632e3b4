#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "model/model_values.h"

struct ProcessorFileData;
class CQelBoard;
class CQelSigOut;
class CQelSigSrc;
class ProcessorJobs;
class ProcessorLink;
class ProcessorRecords;
class ProcessorSettings;
class ProcessorStore;
struct ProcessorLock;
class ProcessorRequests;

// The program's picture of one video-wall processor: its kind, link
// settings, boards, inputs, outputs, wall, output resolutions and preset
// names. Reply parsers change it on a link's thread while the UI reads it,
// so all its state sits behind one lock, shared with the parts that hold
// it; accessors hand out values and copies, never references into it.
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

    // Tests: sees every command the queue accepts (see CQelProDelaySender).
    using PushObserver = std::function<void(std::string_view text, int32_t type)>;

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

    // The parts, each of one concern; the names callers use most are
    // forwarded below.
    ProcessorSettings& settings() { return *settings_; }
    const ProcessorSettings& settings() const { return *settings_; }
    ProcessorRecords& records() { return *records_; }
    const ProcessorRecords& records() const { return *records_; }
    ProcessorLink& link() { return *link_; }
    const ProcessorLink& link() const { return *link_; }
    ProcessorRequests& requests() { return *requests_; }
    ProcessorJobs& jobs() { return *jobs_; }
    const ProcessorJobs& jobs() const { return *jobs_; }
    CInputOSD& GetInputOsd() { return *inputOsd_; }
    const CInputOSD& GetInputOsd() const { return *inputOsd_; }

    uint32_t GetId() const;
    void SetId(uint32_t id);
    int32_t GetKind() const;
    void SetKind(int32_t kind);
    std::string GetName() const;
    void SetName(const std::string& name);
    // Kinds 4, 7, 8, 9 and 10 size their wall by row heights and column
    // widths, and keep those and the watch list in the file.
    static bool HasCellSizes(int32_t kind);

    // The records' names callers use most.
    bool AddSigSrc(const std::shared_ptr<CQelSigSrc>& source, bool postEvent, bool toSplitList);
    void RemoveSigSrc(uint32_t id);
    std::shared_ptr<CQelSigSrc> GetSigSrc(uint32_t id) const;
    std::vector<std::shared_ptr<CQelSigSrc>> GetSigSrcs() const;
    bool AddSigOut(const std::shared_ptr<CQelSigOut>& output);
    std::shared_ptr<CQelSigOut> GetSigOut(uint32_t id) const;
    std::vector<std::shared_ptr<CQelSigOut>> GetSigOuts() const;
    size_t GetSigOutCount() const;
    std::shared_ptr<CQelBoard> GetBoard(uint32_t id) const;
    Resolution GetOutputResolution() const;
    void SetOutputResolution(int32_t width, int32_t height, int32_t rate);

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
    // Every column as wide as the output, every row as high.
    void ResetWallCellSizes();

    // The processor file. A file that cannot be used leaves the model as it
    // was: a damaged one is kept beside itself as "<name>.bad", one that
    // cannot be read is left alone and never replaced.
    bool LoadPro(const std::string& path);
    // A first start: writes the standard processor file at `path` and loads
    // it, when nothing at all is there. False when something was there or it
    // could not be written (then logged); the model is left as it was.
    bool CreateFirstStartPro(const std::string& path);
    bool SavePro();
    // Renames the source and rewrites its element of the processor file.
    void SaveSigSrcsToPro(const std::string& name, uint32_t id);
    // The processor file in the hardware folder.
    static std::string ProFilePath();

    // The link. Connect closes and forgets the old channel and registers and
    // opens a new one made from the connection fields; false when none could
    // be made (no serial port answered, unknown connection type).
    bool Connect();
    // True while the processor's channel reports its link open.
    bool IsConnected() const;
    // Closes the channel, which stays registered; false without one.
    bool Disconnect();
    // Every command is ASCII text ending in "\r\n". Queued commands go
    // through the paced sender: false when the text exceeds 1024 bytes or
    // the queue is full (logged), true for an empty text, which is not
    // queued. The link's other sends wait for the device (`link()`).
    bool QueueCommand(std::string_view text);

    // What the processor is busy with (a JobState); the requests and their
    // gate are `jobs()`'s.
    int32_t GetJobState() const;
    // Shut-down: asks a running job to stop, joins the job threads (those
    // of completed jobs too) and refuses new jobs. No job receiver is called
    // once this returns.
    void StopJobs();

protected:
    // Starts a job's thread; throws std::system_error when it cannot.
    virtual std::thread LaunchJob(std::function<void()> body);

private:
    friend class ProcessorJobs;  // starts its threads through LaunchJob
    friend class ProcessorStore; // loads and saves the fields under the lock

    std::shared_ptr<ProcessorLock> lock_;

    // The parts share the lock; the settings come first, as the wall's
    // size reads the kind.
    std::unique_ptr<ProcessorSettings> settings_;
    std::unique_ptr<ProcessorRecords> records_;
    Wall wall_;
    uint64_t wallRevision_ = 0;
    std::unique_ptr<CInputOSD> inputOsd_;
    std::unique_ptr<ProcessorStore> store_;

    std::unique_ptr<ProcessorJobs> jobs_;
    std::unique_ptr<ProcessorRequests> requests_;
    // Last: its sender's thread uses the members above and is stopped first.
    std::unique_ptr<ProcessorLink> link_;
};
