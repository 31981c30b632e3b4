#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "builder/fpga_window.h"
#include "builder/led_fwindow.h"
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

    // Placement of the plan windows and watch cells (models 7, 8 and 10):
    // each placed window joins the FPGA window list; what could not be
    // shown as asked leaves a record in the placement list.
    int PlaceAllWindows();
    int PlaceWatchCells();
    void Place4KWindow(const WindowRecordPtr& w);
    FpgaWindowPtr PlaceWindow(int pass, const WindowRecordPtr& w);
    bool IsHiddenByHigherWindow(const tagWindowRecord& w) const;

    // Output distribution of a placed window. 0, or 1 when no output board
    // was reached.
    int RouteToOutputs(int outScale, const FpgaWindowPtr& r, const WindowRecordPtr& w);
    void BuildOutputWindows(int outScale, const OBIPPtr& x, const std::vector<DestRect2Ptr>& pieces,
                            const FpgaWindowPtr& r, const WindowRecordPtr& w);
    std::vector<DestRect2Ptr> CutByOutputs(const tagWindowRecord& w) const;
    std::vector<DestRect2Ptr> CutByOutputsWhole(const tagWindowRecord& w) const;
    std::vector<DestRect2Ptr> CutFixedOutput(const tagWindowRecord& w) const;
    // Tiles of at most 1920 x 2160, row by row.
    static std::vector<::Rect> TileRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    static OBIPPtr FindOBIP(const tagFPGAWindow& r, int32_t outputBoard);

    // The wall view's query: the placement's failure records for `plan`;
    // nothing for models other than 7, 8 and 10. Always 0.
    int CheckPlacement(CQelPlan* plan, std::vector<FailRectPtr>& out);

    // The input-only form of model 9: windows split into LED FPGA windows,
    // which the input boards alone show. Each split returns 0.
    int SplitPlanWindows();
    int SplitWatchCells();
    std::vector<LEDFpgaWindowPtr> SplitWindow(const WindowRecordPtr& w);
    // One tile: LayoutPassA shares an equal scaler piece or reserves a new
    // input scaler, LayoutPassB only shares; empty when it cannot.
    LEDFpgaWindowPtr LayoutPassA(const WindowRecordPtr& tile);
    LEDFpgaWindowPtr LayoutPassB(const WindowRecordPtr& tile);
    void InputOnlyCommandPass(std::vector<std::string>& lines);

    // The apply flow. BuildCommands runs every pass and gives the layout's
    // lines (each ends in "\r\n"); it leaves every resource free. SendLayout
    // and SendSwitch hand their lines to the processor in one request: 0
    // when it took them, 1 when it refused them.
    int BuildCommands(std::vector<std::string>& lines);
    int SendLayout();
    int SendSwitch();
    // A switch plan's routes and the crosspoint update.
    void BackplaneSwitchCommands(std::vector<std::string>& lines);

    // The command passes over the FPGA window list (models 7, 8 and 10);
    // each line builder empties its list first.
    void CommandPass(std::vector<std::string>& lines);
    void InputScalerSetupCommands(std::vector<std::string>& lines) const;
    void NumberInputWindows();
    void InputWindowCommands(std::vector<std::string>& lines);
    void BackplaneRouteCommands(std::vector<std::string>& lines) const;
    void CrosspointUpdateCommand(std::vector<std::string>& lines) const;
    void OutputScalerSetupCommands(std::vector<std::string>& lines) const;
    void OutputWindowCommands(std::vector<std::string>& lines) const;
    void ClearOutputWindowCommands(std::vector<std::string>& lines) const;
    void InputSusdCommands(std::vector<std::string>& lines) const;
    void OutputSusdCommands(std::vector<std::string>& lines) const;

    CFwndContainer& FpgaWindows() { return fpgaWindows_; }
    CLEDFwndContainer& LedWindows() { return ledWindows_; }
    const std::vector<FailRectPtr>& Placements() const { return placements_; }
    const std::deque<WindowRecordPtr>& RetryQueue() const { return retry_; }

    int32_t PartCount() const { return partCount_; }
    int32_t CellsPerPart() const { return cellsPerPart_; }
    int32_t Mode() const { return mode_; }

private:
    void ResetResources();
    void SplitOutput(tagMonitorInvalidSegmentWindow& result) const;
    void AddFailure(const ::Rect& rect, int32_t code);
    std::vector<DestRect2Ptr> Cut(const tagWindowRecord& w, bool tiled) const;
    // Queues a piece that found no output scaler as a window of its own.
    void DeferPiece(const tagFPGAWindowDestRect2& piece, const tagWindowRecord& w);
    LEDFpgaWindowPtr LayoutPass(const WindowRecordPtr& tile, bool reserve);
    void SplitRecords(const std::vector<WindowRecordPtr>& records, bool skipOsd);
    int HandOver(const std::vector<std::string>& lines);
    // The boards of the monitored outputs, ascending.
    std::set<int32_t> MonitorBoards() const;

    // Released in reverse: failures, retries, then the placed windows.
    CFwndContainer fpgaWindows_;
    std::deque<WindowRecordPtr> retry_;
    std::vector<FailRectPtr> placements_;

    int32_t partCount_ = 0;
    int32_t cellsPerPart_ = 0;
    CLEDFwndContainer ledWindows_;
    int32_t mode_ = 0;
};

} // namespace _8PART_NS
