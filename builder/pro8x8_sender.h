#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "builder/pro16x16_builder.h"
#include "builder/window_record.h"

namespace PS_NS {

// One processor output as the 8x8 and 8-part senders see it.
struct tagMonitor {
    int32_t reserved[3] = {0, 0, 0};
    int32_t used = 0; // the output has taken an OSD window in this run
    int32_t board = 0;
    int32_t port = 0;
    int32_t cellWidth = 0;
    int32_t cellHeight = 0;
    int32_t x = 0; // the monitor's area on the wall
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t row = -1; // wall cell
    int32_t col = -1;
    int32_t spare = 0;
    int32_t last = -1;
};

using MonitorPtr = std::shared_ptr<tagMonitor>;

class CPS_NS_MONITOR_S_Container : public std::vector<MonitorPtr> {
public:
    virtual ~CPS_NS_MONITOR_S_Container() = default;
};

// Sender of the 8x8 family and base of the 8-part sender: works out which
// processor outputs are on the wall, which are watched and which are idle.
// Takes the processor selected in the context when it is made; lives for
// one operation on the UI thread.
class CPro8x8Sender : public CPro16x16Builder {
public:
    // A process-wide map that every sender empties when it goes.
    class CResourceAllocer {
    public:
        static CResourceAllocer& Instance();
        static void Destroy();
        std::map<int32_t, int32_t>& Map() { return map_; }

    private:
        CResourceAllocer() = default;
        std::map<int32_t, int32_t> map_;
        static CResourceAllocer* instance_;
    };

    explicit CPro8x8Sender(CQelPlan* plan);
    ~CPro8x8Sender() override;

    bool IsWindowRealized(int32_t windowId) const override;
    std::string GetName() const override;
    // Boards as the root collects them; nothing without a plan.
    void CollectBoards() override;
    void CollectWindows() override;

    void AddWatchMonitors();
    void AddGridMonitors();
    void BuildMonitors();
    // The three monitor passes above, in their order.
    void AddMonitors();

    // The 8-part window records; the root's own window list stays empty.
    const std::vector<_8PART_NS::WindowRecordPtr>& Windows() const { return records_; }
    const std::vector<_8PART_NS::WindowRecordPtr>& WatchCells() const { return watchCells_; }
    const CPS_NS_MONITOR_S_Container& GridMonitors() const { return gridMonitors_; }
    const CPS_NS_MONITOR_S_Container& IdleOutputs() const { return idleOutputs_; }
    const std::map<int32_t, MonitorPtr>& WatchMonitors() const { return watchMonitors_; }
    // Grid monitors, then watch monitors in key order.
    const std::vector<MonitorPtr>& Monitors() const { return monitors_; }

    // Key of a watch monitor: (board + 100) x 100 + port.
    static int32_t WatchKey(int32_t board, int32_t port) { return (board + 100) * 100 + port; }
    static int32_t BoardOf(int32_t id) { return (id / 100) % 100; }
    static int32_t PortOf(int32_t id) { return id % 100; }

protected:
    // The windows whose source the processor has on a collected board, in
    // the plan's overlap order.
    void CollectPlanWindows();

    std::vector<_8PART_NS::WindowRecordPtr> records_;
    std::vector<_8PART_NS::WindowRecordPtr> watchCells_;

    CPS_NS_MONITOR_S_Container gridMonitors_;
    CPS_NS_MONITOR_S_Container idleOutputs_;
    std::map<int32_t, MonitorPtr> watchMonitors_;
    std::set<_8PART_NS::WindowRecordPtr, std::owner_less<_8PART_NS::WindowRecordPtr>> windowSet_;
    std::vector<MonitorPtr> monitors_;
};

} // namespace PS_NS
