#pragma once
// The output resolution dialog's reading of the processor's resolution
// list, apart from dialogs/output_resolution.h so that the dialog's header
// need not name the processor.
#include <cstdint>
#include <vector>

#include "model/processor.h"

// Where in the list an entry has this width, height and rate, or this id;
// -1 when none has.
int FindResolutionIndex(const std::vector<CQelProcessor::ResolutionEntry>& list, const Resolution& resolution);
int FindResolutionIdIndex(const std::vector<CQelProcessor::ResolutionEntry>& list, uint32_t id);

// The custom entry: id 255, the size at rate 60.
CQelProcessor::ResolutionEntry CustomResolutionEntry(const Size& size);
