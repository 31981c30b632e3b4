#pragma once
// What the cycle-plan runner decides without its window: which cell comes
// next and for how long, the window's size, where its parts go and how a
// plan's windows are drawn in miniature.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/geometry.h"

class CQelCyclePlan;
class CQelPlan;
class CQelProcessor;

// The countdown over the cells of a cycle plan, one tick a second. Both
// counters start at 0, so the first cell is due at the first tick; a cell
// of s seconds then stays s ticks. The cells are read at each step, so a
// change to the cycle plan shows at its next step.
class CycleTour {
public:
    explicit CycleTour(std::shared_ptr<CQelCyclePlan> cycle);

    // One second passed; true when the next cell is due.
    bool Tick();

    struct Step {
        std::string planName; // empty when the index lay outside the cells
        int32_t seconds = 0;
    };
    // Takes the cell at the next index and moves the index on, back to 0
    // past the last cell.
    Step Next();
    // The step's plan could not be shown: the next tick moves on.
    void Skip() { remaining_ = 0; }

    int32_t Remaining() const { return remaining_; }
    int32_t NextIndex() const { return next_; }

private:
    std::shared_ptr<CQelCyclePlan> cycle_;
    int32_t remaining_ = 0;
    int32_t next_ = 0;
};

// 960 x 540 for a plan whose screens are 16:9 multiples (width divisible
// by 16, height by 9), else 800 x 600, also without a plan.
Size RunWindowSize(const CQelPlan* plan);

// The rectangles of the run window. A button whose image is missing has an
// empty rectangle.
struct RunLayout {
    Rect content;
    Rect title;
    Rect close;
    Rect minimise;
};
inline constexpr int kRunTitleHeight = 40;
// The pictures of the two buttons, in the system folder's "res" folder.
inline constexpr char kRunCycleCloseFile[] = "runcycle_close_btn.png";
inline constexpr char kRunCycleMinimiseFile[] = "runcycle_minimize.png";
RunLayout LayOutRunWindow(const Rect& client, Size closeImage, Size minimiseImage);

// "<name> (<seconds> sec)".
std::string RunTitleText(const std::string& planName, int32_t seconds);

// One window of the miniature, in list order.
struct MiniatureWindow {
    enum Body { NoSource, Joined, Idle };
    Rect rect;
    Body body = NoSource;
    std::string label; // "<window>(<source>)", empty without a source
};
inline constexpr int kMiniatureStripHeight = 16;
// The plan's windows scaled into `content`, a full-screen one over all of
// it; sources are looked up on `processor` (none: every window has none).
// Nothing for a plan without a pixel size.
std::vector<MiniatureWindow> LayOutMiniature(const CQelPlan& plan, const Rect& content, const CQelProcessor* processor);
