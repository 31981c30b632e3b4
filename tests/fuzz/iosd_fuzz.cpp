// IOSD.dat: the first byte picks the processor kind (which sets the number
// of input boards), the rest is the file. What loads saves, and the saved
// file loads to the same items.
#include <memory>
#include <string>
#include <vector>

#include "model/input_osd.h"
#include "model/osd_item.h"
#include "model/processor.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

std::shared_ptr<CQelProcessor> g_processor;

const int32_t kKinds[] = {7, 8, 9, 10, 4};

std::string Items(const CQelProcessor::CInputOSD& store)
{
    std::vector<std::shared_ptr<tagOSD_DATA_EX2_S>> items;
    store.CopyItems(items);
    std::string out;
    for (const auto& i : items) {
        const tagOSD_DATA_EX2& o = i->osd;
        for (const int32_t v : {i->input,          i->item,     i->left,         i->top,         i->timeShown,
                                i->timeLeft,       i->timeTop,  i->timeRectLeft, i->timeRectTop, i->timeRectRight,
                                i->timeRectBottom, i->fontSize, o.background,    o.captionColor, o.transparent,
                                o.shown,           o.left,      o.top,           o.right,        o.bottom})
            out += std::to_string(v) + " ";
        out.append(o.bitmap.begin(), o.bitmap.end());
        out += "\n";
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterWorkFolder();
    g_processor = std::make_shared<CQelProcessor>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    g_processor->SetKind(kKinds[data[0] % std::size(kKinds)]);
    auto& store = g_processor->GetInputOsd();
    const std::string path = CQelProcessor::CInputOSD::FilePath();
    fuzz::PutFile(path, fuzz::Bytes(data + 1, size - 1));
    store.Load();
    const std::string items = Items(store);

    fuzz::Require(store.Save() == 0, "the input OSD store does not save");
    const std::string saved = fuzz::GetFile(path);
    fuzz::PutFile(path, saved); // forgets the .bad of the input
    store.Load();
    fuzz::Require(!fuzz::KeptAsBad(path), "the saved file is damaged");
    fuzz::RequireSame(items, Items(store), "the saved file loads to other items");
    fuzz::Require(store.Save() == 0, "the input OSD store does not save");
    fuzz::RequireSame(saved, fuzz::GetFile(path), "the file changes from one save to the next");
    return 0;
}
