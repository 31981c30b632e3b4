#pragma once
// Inputs as the signal-source tree tests use them: plain 1920 x 1080
// sources, and a DVI/VGA input whose children carry their routing.
#include <cstdint>
#include <memory>

class CQelProcessor;
class CQelSigSrc;

// An unowned source `id` of `type`, named "IN<id>".
std::shared_ptr<CQelSigSrc> NewSource(uint32_t id, int32_t type);

// Source `id` of kind 101 with the children 1 "DVI" (routing 2) and
// 2 "VGA" (routing 1), none of them current.
std::shared_ptr<CQelSigSrc> AddDviVgaSource(CQelProcessor& processor, uint32_t id, bool postEvent = false);

std::shared_ptr<CQelSigSrc> AddPlainSource(CQelProcessor& processor, uint32_t id, bool postEvent = false);
