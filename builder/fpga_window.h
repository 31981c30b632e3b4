#pragma once
// The records of a placed 8-part window: its input side (source port, input
// scaler, frame-buffer area) and its routes to the output boards, and the
// list the sender keeps them in.
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "builder/fpga_geometry.h"
#include "builder/gsys_manager.h"
#include "builder/resource_allocer.h"
#include "plan/eight_part_overlay.h"

namespace PS_NS {
class CPro8x8Sender;
}

namespace _8PART_NS {

// One output board that a window reaches: the backplane port that carries
// the window's frame-buffer area there. Returns the port when it goes.
struct tagOBIPInformation {
    tagOBIPInformation() = default;
    ~tagOBIPInformation();
    tagOBIPInformation(const tagOBIPInformation&) = delete;
    tagOBIPInformation& operator=(const tagOBIPInformation&) = delete;

    int32_t board = 0;
    Reservation* port = nullptr;
    ::Rect inputArea; // the window's part of its frame-buffer area
};
using OBIPPtr = std::shared_ptr<tagOBIPInformation>;

// One use of an output-board scaler. Returns the scaler when it goes.
struct tagOBScalerInformation {
    tagOBScalerInformation() = default;
    ~tagOBScalerInformation();
    tagOBScalerInformation(const tagOBScalerInformation&) = delete;
    tagOBScalerInformation& operator=(const tagOBScalerInformation&) = delete;

    int32_t board = 0;
    Reservation* scaler = nullptr;
    ::Rect dest;       // (0, 0, box width, box height)
    ScaleRecord scale; // the box's part of the window's displayed rectangle
    OBIPPtr feed;
    int32_t shared = 0; // taken over from an equal use of another window
};
using OBScalerPtr = std::shared_ptr<tagOBScalerInformation>;

// A candidate piece of a window on one output.
struct tagFPGAWindowDestRect2 {
    int32_t board = 0;
    int32_t port = 0;
    ::Rect wall;
    ::Rect local; // in the output's own coordinates
    ScaleRecord scale;
    int32_t layer = 0;
    int32_t grouped = 0;
};
using DestRect2Ptr = std::shared_ptr<tagFPGAWindowDestRect2>;

// One window line of an output.
struct tagFPGAWindowDestRect {
    static constexpr int32_t kDirect = 0;
    static constexpr int32_t kScaled = 2;

    int32_t board = 0;
    int32_t port = 0;
    ::Rect dest; // in the output's own coordinates
    int32_t layer = 0;
    int32_t kind = kDirect;
    OBScalerPtr scaler; // kind 2
    OBIPPtr obip;       // kind 0
    ScaleRecord scale;
};
using DestRectPtr = std::shared_ptr<tagFPGAWindowDestRect>;

// A window line of the piece's output, at the piece's place.
template <class Line = tagFPGAWindowDestRect>
std::shared_ptr<Line> MakeDestLine(const tagFPGAWindowDestRect2& piece, int32_t kind)
{
    auto line = std::make_shared<Line>();
    line->board = piece.board;
    line->port = piece.port;
    line->dest = piece.local;
    line->layer = piece.layer;
    line->kind = kind;
    return line;
}

// A placed window. Returns its input scaler and its share of the
// frame-buffer area when it goes; its routes return their own resources.
struct tagFPGAWindow {
    tagFPGAWindow() = default;
    ~tagFPGAWindow();
    tagFPGAWindow(const tagFPGAWindow&) = delete;
    tagFPGAWindow& operator=(const tagFPGAWindow&) = delete;

    int32_t board = -1;
    int32_t port = -1;
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;
    ::Rect crop;
    Reservation* scaler = nullptr;
    int32_t scalerShared = 0;
    int32_t gShared = 0;
    GAllocation* gArea = nullptr;
    ScaleRecord scale; // the window's part of a shared area
    int32_t layer = 0;
    std::map<int32_t, OBIPPtr> obips; // by output board
    std::list<OBScalerPtr> outScalers;
    std::vector<DestRectPtr> outWindows;
};
using FpgaWindowPtr = std::shared_ptr<tagFPGAWindow>;

using FailRectPtr = std::shared_ptr<tagFPGAWindowFailRect>;

// The window's area in its frame-buffer area: the whole allocation, or its
// part of it when the allocation is borrowed.
::Rect InputArea(const tagFPGAWindow& w);

// The placed windows of a sender, in placement order.
class CFwndContainer : public std::vector<FpgaWindowPtr> {
public:
    virtual ~CFwndContainer() = default;

    // A window with an input scaler showing the same crop of the same
    // source port in an area of width x height.
    FpgaWindowPtr FindScaledTwin(int32_t board, int32_t port, const ::Rect& crop, int32_t width, int32_t height) const;
    // An unscaled window with an area of its own whose crop holds `crop`.
    FpgaWindowPtr FindCoveringTwin(int32_t board, int32_t port, const ::Rect& crop) const;
    // An output scaler use of an equal unscaled window that `use` (fed from
    // `area`) can share: same feed, same output board, same mapped part.
    OBScalerPtr FindEqualScalerUse(int32_t board, int32_t port, const ::Rect& crop, int32_t width, int32_t height,
                                   const tagOBScalerInformation& use, int32_t outputBoard) const;
    // The backplane port that a window in the same frame-buffer area holds
    // for this output board, or null.
    Reservation* FindPortTakeover(int32_t gBoard, int32_t gIndex, int32_t outputBoard) const;
};

// Numbers the window lines of each monitored output 1, 2, 3, ... keeping
// the order of their layers.
void RenumberLayers(const PS_NS::CPro8x8Sender& sender, CFwndContainer& list);

// One "<text> board port" line for every monitored output that no window
// line reaches, then one for every idle output.
void ClearOutputWindowLines(const PS_NS::CPro8x8Sender& sender, const char* text, const CFwndContainer& list,
                            std::vector<std::string>& lines);

// A source id and a rectangle: the feed of an input-only window line.
struct IdRectRecord {
    int32_t zero = 0;
    std::unique_ptr<int32_t> id;
    ::Rect rect;
};
std::unique_ptr<IdRectRecord> MakeIdRectRecord(int32_t id, int32_t left, int32_t top, int32_t right, int32_t bottom);
void FreeIdRectRecord(std::unique_ptr<IdRectRecord>& record);
bool IdRectEqual(const IdRectRecord& a, const IdRectRecord& b);

} // namespace _8PART_NS
