#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "platform/geometry.h"

// What the plan reads of the rest of the program, in one place: a snapshot
// of the context's selected processor (model code, output resolution and
// the outputs it places on the wall), which the plan's callers read and hand
// to it, and the resolution of a source.
struct WallPlacement {
    int32_t processorId = -1;
    int32_t kind = 0;
    ResolutionTriple output;
    std::map<std::pair<int32_t, int32_t>, int32_t> cells; // (row, col) -> output id

    // The output at the cell; -1 when the cell holds none.
    int32_t OutputAt(int32_t row, int32_t col) const;
    // The first cell, in (row, col) order, that holds the output.
    bool FindOutput(int32_t outputId, int32_t& row, int32_t& col) const;
};

// What a plan is handed of the selection: the selected processor and source
// ids (-1 when none) and the selected processor's placement (null when none
// is selected or the selected one does not exist).
struct PlanSelection {
    int32_t processorId = -1;
    int32_t sigSrcId = -1;
    std::shared_ptr<const WallPlacement> placement;
};

// The context's selection as it stands now.
PlanSelection CurrentPlanSelection();

// Null when no processor is selected or the selected one does not exist.
// The same snapshot is handed out while the processor's kind, output and
// wall stay as they were.
std::shared_ptr<const WallPlacement> SelectedWallPlacement();
// The context's selected processor and source ids (-1 when none).
int32_t SelectedProcessorId();
int32_t SelectedSigSrcId();
// The resolution of a processor's source; empty when either is missing.
std::optional<ResolutionTriple> SigSrcResolution(int32_t processorId, int32_t sigsrcId);
