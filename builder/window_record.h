#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "builder/fpga_geometry.h"
#include "platform/geometry.h"

struct CQelWindow;
class CQelSigSrc;

namespace _8PART_NS {

// The sender's working record of one window: a plan window, an OSD window
// or one cell of a watch window.
struct tagWindowRecord {
    std::shared_ptr<CQelWindow> window;
    // The source the window shows; empty for OSD windows, a record of its
    // own for watch cells.
    std::shared_ptr<CQelSigSrc> source;
    ::Rect rect;           // on the wall; for a watch cell, within its output
    int32_t planValue = 0; // the plan's check of the window against its source
    std::vector<int32_t> outputs;
    int32_t pieceCount = 0;
    // A watch cell goes to its own output only.
    int32_t fixedOutput = 0;
    int32_t fixedBoard = 0;
    int32_t fixedPort = 0;
    ::Rect inflate;
};

using WindowRecordPtr = std::shared_ptr<tagWindowRecord>;

// A deep copy for cutting a window into tiles: the copy owns a window and a
// source of its own, so changing its crop leaves the original alone. The OSD
// record and 4K flag of the copy's window stay at their defaults.
WindowRecordPtr CopyFpgaWindow(const tagWindowRecord& source);

// A source record of its own with every field of `source`, its name and
// children included; no processor owns it, so changing it announces nothing.
std::shared_ptr<CQelSigSrc> SigSrcCopy(const CQelSigSrc& source);

// What the geometry helpers read of a record.
WindowGeometry GeometryOf(const tagWindowRecord& w);

} // namespace _8PART_NS
