#pragma once
// What the signal-source page decides, apart from the tree widget: node
// texts, the three context menus, where a new input node goes, the commands
// a type reply starts, and what a reset report means.
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ui/popup_menu.h"

class CQelProcessor;
class CQelSigSrc;

enum SigSrcNodeKind : uint8_t { kNodeProcessor = 0, kNodeInput = 1, kNodeChild = 2 };

// What a tree node stands for.
struct SigSrcNodeInfo {
    uint8_t kind = kNodeProcessor;
    uint32_t proId = 0;
    int32_t id = -1; // source id, child id, -1 for a processor node
};

// The link state a processor node shows.
enum class LinkStatus { Disconnected, Connecting, Connected };

// "model(status)"; connected over a serial line, the device follows the
// status inside the parentheses.
QString ProcessorNodeText(const CQelProcessor& processor, LinkStatus status);
// "name(WxH)", or "name(child)(WxH)" with a current child; nothing when the
// processor has no such source.
std::optional<QString> InputNodeText(const CQelProcessor& processor, uint32_t sourceId);

namespace sigsrcmenu {
// Items of the processor node's menu.
enum : int {
    kTcpConnect = 1,
    kSerialConnect = 2,
    kDisconnect = 3,
    kSettings = 4,
    kInitialise = 5,
    kWallSetup = 6,
    kTestOutput = 7,
    kReset = 8,
    kClock = 9,
    kSavedPlans = 10,
    kBoardColour = 11,
};
// Items of the input node's menu.
enum : int { kRename = 1, kEdid = 2, kInputParameters = 3 };
// The child node's one item.
enum : int { kSwitchChild = 1 };
} // namespace sigsrcmenu

// `appType` is the bit of "MainFrm.AppType" (1 wall editor).
ui::MenuSpec ProcessorMenu(const CQelProcessor& processor, int appType);
ui::MenuSpec InputMenu(const CQelProcessor& processor, const CQelSigSrc& source, int appType);
ui::MenuSpec ChildMenu();

// Whether the reset item is offered for the model.
bool ModelHasReset(int32_t kind);

// The ordinal the rename dialog shows for a source: four inputs a board.
int SourceOrdinal(uint32_t sourceId);

// Which of a processor's input nodes (their source ids, in tree order) a new
// input goes after, keeping the ids ascending: the greatest id below the new
// one, the later of equals; nothing puts it first.
std::optional<size_t> InsertAfter(const std::vector<int32_t>& siblingIds, int32_t newId);

// What a type reply starts: the output timing and the slot queries of the
// processor's model, from its current output resolution.
void QueueTypeFollowUp(CQelProcessor& processor);

// A reset job's report: under way, ended (position equals total) or failed
// (the job reports one past the total).
enum class ResetReport { Progress, Done, Failed };
ResetReport ClassifyResetReport(int position, int total);
