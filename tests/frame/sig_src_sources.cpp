#include "tests/frame/sig_src_sources.h"

#include <string>

#include "model/kinds.h"
#include "model/processor.h"
#include "model/sig_src.h"

std::shared_ptr<CQelSigSrc> NewSource(uint32_t id, int32_t type)
{
    CQelSigSrc::Values values;
    values.id = id;
    values.type = type;
    values.name = "IN" + std::to_string(id);
    return std::make_shared<CQelSigSrc>(values);
}

std::shared_ptr<CQelSigSrc> AddDviVgaSource(CQelProcessor& processor, uint32_t id, bool postEvent)
{
    auto source = NewSource(id, kSrcVgaDvi);
    source->AddChild(1, 0, "DVI", {1920, 1080, 60}, 2);
    source->AddChild(2, 0, "VGA", {1920, 1080, 60}, 1);
    processor.AddSigSrc(source, postEvent, false);
    return source;
}

std::shared_ptr<CQelSigSrc> AddPlainSource(CQelProcessor& processor, uint32_t id, bool postEvent)
{
    auto source = NewSource(id, kSrcHdmi);
    processor.AddSigSrc(source, postEvent, false);
    return source;
}
