#include "builder/led_fwindow.h"

namespace _8PART_NS {

namespace {

// The FPGA list's forms read nothing of a window but its window lines, so
// one carrier window holding every LED line, in order, stands for the list.
// It holds no scaler and no area, so dropping it releases nothing.
CFwndContainer LineCarrier(const CLEDFwndContainer& list)
{
    auto carrier = std::make_shared<tagFPGAWindow>();
    for (const auto& w : list)
        for (const auto& line : w->dests)
            carrier->outWindows.push_back(line);
    CFwndContainer carriers;
    carriers.push_back(std::move(carrier));
    return carriers;
}

} // namespace

IdRectPtr MakeSourceCrop(int32_t sourceId, const ::Rect& crop)
{
    return MakeIdRectRecord(sourceId, crop.left, crop.top, crop.right, crop.bottom);
}

LEDScalerPtr CLEDFwndContainer::FindEqualScalerPiece(const tagLEDScalerPiece& piece) const
{
    if (!piece.input)
        return {};
    const ::Rect wanted = MapScaledRectEven(piece.scale, piece.input->rect);
    for (const auto& w : *this) {
        for (const auto& other : w->pieces) {
            if (!other->input || !other->scaler || !IdRectEqual(*other->input, *piece.input))
                continue;
            if (MapScaledRectEven(other->scale, other->input->rect) != wanted || other->board != piece.board)
                continue;
            if (RectWidth(other->dest) == RectWidth(piece.dest) && RectHeight(other->dest) == RectHeight(piece.dest))
                return other;
        }
    }
    return {};
}

void RenumberLayers(const PS_NS::CPro8x8Sender& sender, CLEDFwndContainer& list)
{
    // The carrier shares the line records, so the new layers land in them.
    auto carriers = LineCarrier(list);
    RenumberLayers(sender, carriers);
}

void ClearOutputWindowLines(const PS_NS::CPro8x8Sender& sender, const char* text, const CLEDFwndContainer& list,
                            std::vector<std::string>& lines)
{
    ClearOutputWindowLines(sender, text, LineCarrier(list), lines);
}

} // namespace _8PART_NS
