#pragma once
// The wall view's three context menus as data: what each offers follows
// from the state gathered at the right click, so they are built by pure
// functions and read by tests without a popup.
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ui/popup_menu.h"

namespace wallmenu {

// Item ids of the window and logo menus.
enum WindowItem : int {
    kRename = 1,
    kFullScreenOn = 2,
    kFullScreenOff = 3,
    kMaximizeInCell = 4,
    kSplit = 5,
    kSizeToSource = 6,
    kPointToPoint = 7,
    kLock = 8,
    kUnlock = 9,
    kRaiseLayer = 10,
    kLowerLayer = 11,
    kLayerToTop = 12,
    kLayerToBottom = 13,
    kAlignLeft = 14,
    kAlignRight = 15,
    kAlignTop = 16,
    kAlignBottom = 17,
    kSameWidth = 18,
    kSameHeight = 19,
    kSameSize = 20,
    kSnapLeft = 21,
    kSnapRight = 22,
    kSnapTop = 23,
    kSnapBottom = 24,
    kClearVideo = 25,
    kClearLogos = 26,
    kWindowPosition = 27,
    kExecute = 28,
    kFitModule = 29,
    kTransparent = 30,
    kAutoExecute = 31,
    kSaveMonitorLogo = 32,
    kSave = 33,
    kSaveAs = 34,
    kSaveToProcessor = 35,
    kStandardOutputPlan = 36,
    kNewGroup = 37,
    kUnbindGroups = 38,
    kLogoSettings = 39,
    kSendLogos = 40,
    kClearGuideLines = 41,
};

// Ranges of the items made per source: base + source id, for the source
// ids that fit the range. A source whose item would leave its range is not
// offered, so no choice can land in another range.
inline constexpr int kSourceBase = 400;
inline constexpr int kSourceLast = 10000;
inline constexpr int kGroupSourceBase = 10001;
inline constexpr int kGroupSourceLast = 20000;
// Bind-to-group items: base + the group's position in the plan's list,
// since a plan may hold any group id.
inline constexpr int kGroupBase = 20001;
inline constexpr int kGroupLast = 1 << 30;

// Item ids of the watch-slot menu.
enum WatchItem : int {
    kWatchClearCell = 1,
    kWatchLayout1x1 = 2, // to kWatchLayout2x4 = 6
    kWatchLayout2x4 = 6,
};
inline constexpr int kWatchSourceBase = 100;

// Rows and columns of the watch layouts 2 to 6.
struct GridShape {
    int rows = 0;
    int cols = 0;
};
GridShape WatchLayoutShape(int item);

// Processor models that build with the 4- and 8-part senders.
bool IsFourOrEightPart(int32_t model);

struct MenuSource {
    int32_t id = 0;
    QString name;
};

struct MenuGroup {
    int32_t id = 0;
    QString name;
};

// What the window menu depends on.
struct WindowMenuState {
    int32_t model = 0;
    int32_t obm = 0;
    int32_t planType = 0;
    int planWindowCount = 0;
    bool onBody = false; // the click hit a window's body
    int selectionCount = 0;
    bool hasClicked = false;
    int32_t clickedSource = -1;
    int32_t clickedGroup = 0;
    bool clickedScaled = true;
    bool activeLocked = false;
    bool activeFullScreen = false;
    std::vector<MenuSource> sources; // in the processor's list order
    std::vector<MenuGroup> groups;
    bool fitModule = false;
    bool transparent = false;
    bool autoExecute = false;
};

// What the watch-slot menu depends on.
struct WatchMenuState {
    std::vector<MenuSource> sources;
    bool hasWatch = false;
    int rows = 0; // the watch window's grid
    int cols = 0;
    int32_t cellSource = -1; // what the cell under the point shows
};

// The group a bind item of the window menu built from `state` stands for;
// nothing for any other id.
std::optional<int32_t> BoundGroupOf(const WindowMenuState& state, int id);

ui::MenuSpec BuildLogoMenu();
ui::MenuSpec BuildWindowMenu(const WindowMenuState& state);
ui::MenuSpec BuildWatchSlotMenu(const WatchMenuState& state);

} // namespace wallmenu
