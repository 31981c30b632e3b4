#pragma once
// The builders of the 16-part processor. Every input board lays the windows
// of its own sources out on a picture of each output port; the output board
// then lays those pictures out on its outputs. The parent builder splits the
// plan into one part plan per input board, lets a part builder write each
// board's input-side lines, and writes the output-side lines itself.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "builder/pro16x16_builder.h"

// One picture area an input board puts out on one output port.
struct _tagPartWin {
    int32_t window = 0;
    int32_t board = 0;
    int32_t port = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The input-board side of one part: the windows of one board's sources.
class CPro16PartLEDBuilder : public CPro16x16Builder {
public:
    static constexpr int32_t kPictureWidth = 1920;
    static constexpr int32_t kPictureHeight = 1200;

    explicit CPro16PartLEDBuilder(CQelPlan* plan);
    ~CPro16PartLEDBuilder() override;

    int32_t SourceKey(const SourceInfo& source) const override;
    bool PlaceOutput(_tagWindow& window) override;
    void InputPass(const _tagBoard* board) override;
    void BackplanePass() override;
    void OutputPass(const _tagBoard* board) override;
    std::string GetName() const override;

    // The areas of the output board the parent serves, one per port; valid
    // after Send.
    const std::vector<_tagPartWin>& Collected() const { return collected_; }

protected:
    // Window lines go to output boards only: a piece composed on an input
    // board's background is never sent.
    bool SendsBackgrounds() const override { return false; }

private:
    std::vector<_tagPartWin> collected_;
};

class CPro16PartBuilder : public CPro16x16Builder {
public:
    explicit CPro16PartBuilder(CQelPlan* plan);
    ~CPro16PartBuilder() override;

    void Build() override;
    // False when a part builder's lines or these lines were refused.
    bool Send() override;
    bool IsWindowRealized(int32_t windowId) const override;
    void CollectWindows() override;
    std::string GetName() const override;

    // Writes the areas of one output port (0 or 1) of the first output board.
    void OutputWindowPass(int32_t port, const std::vector<_tagPartWin>& records);

    const std::map<uint32_t, std::shared_ptr<CPro16PartLEDBuilder>>& PartBuilders() const { return partBuilders_; }
    const std::map<uint32_t, std::shared_ptr<CQelPlan>>& PartPlans() const { return partPlans_; }

private:
    std::map<uint32_t, std::shared_ptr<CPro16PartLEDBuilder>> partBuilders_;
    std::map<uint32_t, std::shared_ptr<CQelPlan>> partPlans_;
};
