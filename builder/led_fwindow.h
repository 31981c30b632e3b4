#pragma once
// The records of the input-only form of model 9: a window is set up on the
// input board only, its pieces fed either by one of the board's scalers or
// straight from a source crop, and the list the sender keeps them in.
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "builder/fpga_window.h"

namespace _8PART_NS {

using IdRectPtr = std::shared_ptr<IdRectRecord>;

// A source id with its even crop, as the input-only lines name it.
IdRectPtr MakeSourceCrop(int32_t sourceId, const ::Rect& crop);

// One use of an input-board scaler: the board is the source's input board,
// the scaler an input of it, the destination (0, 0, area width, area height).
// The output-side feed stays empty; the source crop feeds it instead.
struct tagLEDScalerPiece : tagOBScalerInformation {
    IdRectPtr input;
};
using LEDScalerPtr = std::shared_ptr<tagLEDScalerPiece>;

// One window line of an output: kind 2 reads the scaler piece (in the base
// record's scaler field), any other kind the source crop directly.
struct tagLEDFPGAWindowDestRect : tagFPGAWindowDestRect {
    IdRectPtr input;
};
using LEDDestRectPtr = std::shared_ptr<tagLEDFPGAWindowDestRect>;

struct tagLEDFPGAWindow {
    std::list<LEDScalerPtr> pieces;
    int32_t reserved = 0;
    std::vector<LEDDestRectPtr> dests;
};
using LEDFpgaWindowPtr = std::shared_ptr<tagLEDFPGAWindow>;

// The windows of the input-only form, in placement order.
class CLEDFwndContainer : public std::vector<LEDFpgaWindowPtr> {
public:
    virtual ~CLEDFwndContainer() = default;

    // A scaler piece already placed that `piece` can share: the same source
    // crop mapped to the same part, on the same board, at the same size.
    LEDScalerPtr FindEqualScalerPiece(const tagLEDScalerPiece& piece) const;
};

// The forms of the FPGA list, over the window lines of the LED windows.
void RenumberLayers(const PS_NS::CPro8x8Sender& sender, CLEDFwndContainer& list);
void ClearOutputWindowLines(const PS_NS::CPro8x8Sender& sender, const char* text, const CLEDFwndContainer& list,
                            std::vector<std::string>& lines);

} // namespace _8PART_NS
