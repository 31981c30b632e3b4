#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "plan/plan.h"

// Processor 1 of the context, as a test wants it, and selected.
struct TestProcessor {
    int32_t kind = 8;
    int32_t width = 1920;
    int32_t height = 1080;
    std::map<std::pair<int32_t, int32_t>, int32_t> cells; // (row, col) -> output
    std::map<uint32_t, ResolutionTriple> sources;
    int32_t selectedSource = -1;
};

void SelectProcessor(const TestProcessor& t);

void DeselectProcessor();

// Drops the context with its processor, and the events left queued.
void ReleaseContext();

struct PostedEvent {
    int32_t type;
    int32_t plan;
    int32_t value; // window layer or history serial
    friend bool operator==(const PostedEvent&, const PostedEvent&) = default;
};

// Takes every queued event off the program's queue and keeps the plan's.
std::vector<PostedEvent> TakeEvents();

std::shared_ptr<CQelWindow> MakeWindow(const Rect& rect, int32_t sigsrc = 1);
