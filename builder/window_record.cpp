#include "builder/window_record.h"

#include "builder/source_signal.h"
#include "model/sig_src.h"
#include "plan/window.h"

namespace _8PART_NS {

WindowRecordPtr CopyFpgaWindow(const tagWindowRecord& source)
{
    auto copy = std::make_shared<tagWindowRecord>();
    if (source.window) {
        copy->window = std::make_shared<CQelWindow>();
        WindowRecordCopy(*copy->window, *source.window);
    }
    if (source.source) {
        auto values = source.source->GetValues();
        // The copy stands alone: no parent processor, board or children.
        values.children.clear();
        copy->source = std::make_shared<CQelSigSrc>(values);
    }
    copy->rect = source.rect;
    copy->outputs = source.outputs;
    copy->fixedOutput = source.fixedOutput;
    copy->fixedBoard = source.fixedBoard;
    copy->fixedPort = source.fixedPort;
    copy->inflate = source.inflate;
    return copy;
}

std::shared_ptr<CQelSigSrc> SigSrcCopy(const CQelSigSrc& source)
{
    auto values = source.GetValues();
    auto children = std::move(values.children);
    values.children.clear();
    auto copy = std::make_shared<CQelSigSrc>(values);
    for (const auto& child : children)
        copy->AddChild(child.id, child.type, child.name, child.resolution, child.routingId);
    return copy;
}

WindowGeometry GeometryOf(const tagWindowRecord& w)
{
    WindowGeometry g;
    if (w.window) {
        g.crop = w.window->rcsigsrc;
        g.scaled = w.window->scaled;
    }
    if (w.source) {
        const auto size = SignalSizeOf(w.source->GetResolution());
        g.sourceWidth = size.width;
        g.sourceHeight = size.height;
    }
    g.area = w.rect;
    return g;
}

} // namespace _8PART_NS
