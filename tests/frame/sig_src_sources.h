#pragma once
// Inputs as the signal-source tree tests use them: plain 1920 x 1080
// sources, and a DVI/VGA input whose children carry their routing.
#include <memory>
#include <string>

#include "model/kinds.h"
#include "model/processor.h"
#include "model/sig_src.h"

// An unowned source `id` of `type`, named "IN<id>".
inline std::shared_ptr<CQelSigSrc> NewSource(uint32_t id, int32_t type)
{
    CQelSigSrc::Values values;
    values.id = id;
    values.type = type;
    values.name = "IN" + std::to_string(id);
    return std::make_shared<CQelSigSrc>(values);
}

// Source `id` of kind 101 with the children 1 "DVI" (routing 2) and
// 2 "VGA" (routing 1), none of them current.
inline std::shared_ptr<CQelSigSrc> AddDviVgaSource(CQelProcessor& processor, uint32_t id, bool postEvent = false)
{
    auto source = NewSource(id, kSrcVgaDvi);
    source->AddChild(1, 0, "DVI", {1920, 1080, 60}, 2);
    source->AddChild(2, 0, "VGA", {1920, 1080, 60}, 1);
    processor.AddSigSrc(source, postEvent, false);
    return source;
}

inline std::shared_ptr<CQelSigSrc> AddPlainSource(CQelProcessor& processor, uint32_t id, bool postEvent = false)
{
    auto source = NewSource(id, kSrcHdmi);
    processor.AddSigSrc(source, postEvent, false);
    return source;
}
