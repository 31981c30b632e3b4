#pragma once
// The layout builder of the LED-wall processor (model 4). It places windows
// as the 16x16 builder does, output-side as the 16-part input boards do,
// and sends each output board's whole layout in long-form INPUT_FPGA lines;
// watch outputs show a grid of sources instead of the plan's windows.
#include <cstdint>
#include <string>

#include "builder/pro16x16_builder.h"

class CProLEDBuilder : public CPro16x16Builder {
public:
    // The largest picture one scaler of the LED processor puts out.
    static constexpr int32_t kMaxScalerWidth = 1920;
    static constexpr int32_t kMaxScalerHeight = 2160;

    CProLEDBuilder(CQelPlan* plan, int32_t maxScalerWidth, int32_t maxScalerHeight);
    ~CProLEDBuilder() override;

    // Every type-8 source is fed from port 0; others by their own id.
    int32_t SourceKey(const SourceInfo& source) const override;
    void CollectWindows() override;
    bool AssignScalers(_tagBoard& board, _tagSigOutWin& piece) override;
    bool PlaceOutput(_tagWindow& window) override;
    void InputPass(const _tagBoard* board) override;
    void BackplanePass() override;
    void OutputPass(const _tagBoard* board) override;
    std::string GetName() const override;

protected:
    // Window lines go to output boards only: a piece composed on an input
    // board's background is never sent.
    bool SendsBackgrounds() const override { return false; }

private:
    // One cell of a watch grid: where it lies on its output and what feeds it.
    struct WatchCell {
        int32_t output = 0;
        Rect rect;
        int32_t port = 0;
    };

    // The scaler line of one scaler of `source`; empty when a type-8 source
    // has no group source to take its frame from.
    std::string ScalerLine(const SourceInfo& source, int32_t number, const Rect& crop, int32_t width,
                           int32_t height) const;
    void CollectWatchCells(_tagBoard& board, std::vector<WatchCell>& cells, std::vector<std::string>& lines);
};
