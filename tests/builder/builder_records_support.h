#pragma once
// Looking into a builder's working context, and a builder that records what
// each placement step answered, window by window.
#include <string>
#include <vector>

#include "builder/pro16x16_builder.h"

inline CPro16x16Builder::PiecePtr PieceOn(const CPro16x16Builder& b, int32_t outputId, int32_t windowId)
{
    for (const auto& board : b.GetContext()->boards) {
        for (const auto& o : board->outputs) {
            if (o->id != outputId)
                continue;
            for (const auto& p : o->pieces) {
                if (p->windowId == windowId)
                    return p;
            }
        }
    }
    return nullptr;
}

inline CPro16x16Builder::_tagBoard* BoardOf(const CPro16x16Builder& b, int32_t number)
{
    for (const auto& board : b.GetContext()->boards) {
        if (board->number == number)
            return board.get();
    }
    return nullptr;
}

template <class Builder>
class TracingBuilder : public Builder {
public:
    using Builder::Builder;
    using Window = CPro16x16Builder::_tagWindow;
    bool PlaceInput(Window& w) override { return Note("input", Builder::PlaceInput(w)); }
    bool PlaceOutput(Window& w) override { return Note("output", Builder::PlaceOutput(w)); }
    bool PlaceByPiece(Window& w) override { return Note("piece", Builder::PlaceByPiece(w)); }
    std::vector<std::string> steps;

private:
    bool Note(const std::string& step, bool ok)
    {
        steps.push_back(step + (ok ? "+" : "-"));
        return ok;
    }
};
