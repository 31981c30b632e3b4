#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "builder/pro8x8_sender.h"
#include "plan/eight_part_overlay.h"

class IProgress;

namespace _8PART_NS {

// The sender of the 8-part family (model codes 7 to 10). Every one made
// rebuilds the process-wide resource table and G systems for the selected
// processor, so each operation starts with all of them free.
class CPro8PartSender : public PS_NS::CPro8x8Sender {
public:
    // `mode` is the processor's algorithm id; 1 selects the slot allocators.
    CPro8PartSender(CQelPlan* plan, int32_t mode);
    explicit CPro8PartSender(int32_t mode);
    ~CPro8PartSender() override;

    void CollectBoards() override;
    void CollectWindows() override;

    // Appends the plan's OSD windows that show past the windows above them.
    void CollectOsdWindows();
    // One record per non-empty cell of each watch window.
    void CollectWatchCells();

    // Switches the OSD overlay on for each output that holds an OSD window
    // and off elsewhere, once the command queue has drained. 0 when the
    // processor took the lines; 1 when it did not, when the queue did not
    // drain within 2 s, or without processor or plan. `extra` hears the
    // progress of the transfer.
    int SendOsdWindows(IProgress* extra);
    std::vector<std::string> OsdEnableLines();
    std::vector<std::string> OsdCloseLines() const;

    // Per wall output: the areas past what the output can show. Always 0.
    int CheckPlacementBySplit(std::vector<std::shared_ptr<tagMonitorInvalidSegmentWindow>>& out);

    int32_t PartCount() const { return partCount_; }
    int32_t CellsPerPart() const { return cellsPerPart_; }
    int32_t Mode() const { return mode_; }

private:
    void ResetResources();
    void SplitOutput(tagMonitorInvalidSegmentWindow& result) const;

    int32_t partCount_ = 0;
    int32_t cellsPerPart_ = 0;
    int32_t mode_ = 0;
};

} // namespace _8PART_NS
