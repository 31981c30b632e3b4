#include "dialogs/input_osd_edit.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <set>

#include "corlane/fstr.h"
#include "model/input_osd.h"
#include "model/sig_src.h"

using qz::vok::fstr_format;

namespace inputosd {

std::pair<int, int> TitleSize(int32_t model)
{
    switch (model) {
    case 7: return {8, 8};
    case 8: return {16, 16};
    case 9: return {4, 4};
    case 10: return {36, 16};
    default: return {250, 250};
    }
}

std::string SlotLabel(int input, int item)
{
    return fstr_format("%d_%d", input + 1, item + 1);
}

int SlotIndex(int input, int item)
{
    if (input < 0 || input >= kSlotInputs || item < 0 || item >= kSlotItems)
        return -1;
    return input * kSlotItems + item;
}

std::string SourceNameCommand(int input, int item, const std::string& utf8Name)
{
    const size_t n = utf8Name.size();
    std::string command = fstr_format("I_F SIPN %d %d %d ", input, item, int(n));
    const size_t sent = std::min(n, kNameBytesSent);
    for (size_t i = 0; i < sent; ++i)
        command += fstr_format("0x%02x ", static_cast<unsigned char>(utf8Name[i]));
    // A short name is padded so that every command has the same width.
    if (n < kNameBytesSent)
        command.append(kNameBytesSent + 1 - n, ' ');
    return command;
}

FieldValue ReadField(const std::string& text, int lo, int hi, int fallback)
{
    size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    if (first == std::string::npos)
        return {fallback, false};
    std::string number = text.substr(first, last - first + 1);
    size_t digits = number[0] == '-' || number[0] == '+' ? 1 : 0;
    // Only a blank field takes its fallback: other text is no number, and
    // taking it as one would change the value behind the operator's back.
    if (digits == number.size() || !std::all_of(number.begin() + long(digits), number.end(),
                                                [](char c) { return std::isdigit((unsigned char)c); }))
        return {fallback, true};
    // Beyond any range once it has more digits than an int holds.
    if (number.size() - digits > 9)
        return {fallback, true};
    const long value = std::stol(number);
    if (value < lo || value > hi)
        return {fallback, true};
    return {int(value), false};
}

int TimeModeOfRadio(int radio)
{
    switch (radio) {
    case 0: return 1;
    case 1: return 0;
    default: return 2;
    }
}

int TimeRadioOfMode(int mode)
{
    switch (mode) {
    case 1: return 0;
    case 0: return 1;
    default: return 2;
    }
}

EditValues ValuesOf(const tagOSD_DATA_EX2_S& item)
{
    EditValues v;
    v.input = item.input;
    v.item = item.item;
    v.shown = item.osd.shown;
    v.left = item.left;
    v.top = item.top;
    v.captionColour = item.osd.captionColor;
    v.backColour = item.osd.background;
    v.transparent = item.osd.transparent;
    v.logo = item.osd;
    v.timeShown = item.timeShown;
    v.timeMode = item.timeMode;
    v.timeLeft = item.timeLeft;
    v.timeTop = item.timeTop;
    v.timeWidth = item.timeRectRight - item.timeRectLeft;
    v.timeHeight = item.timeRectBottom - item.timeRectTop;
    v.fontSize = item.fontSize;
    return v;
}

tagOSD_DATA_EX2_S BuildItem(const EditValues& v, int input, int item, const Resolution& inputSize)
{
    // The bounds of the slot table; no store holds more, so this never bites.
    if (input > kSlotInputs - 1)
        input = 0;
    if (item > kSlotItems - 1)
        item = 0;
    tagOSD_DATA_EX2_S record;
    InitOsdData(record, input, item, v.left, v.top, v.logo.left, v.logo.top, v.logo.right, v.logo.bottom, v.backColour,
                v.captionColour, v.transparent, v.shown, v.logo.bitmap, inputSize.width, inputSize.height,
                inputSize.rate, v.timeShown, v.timeLeft, v.timeTop, v.timeWidth, v.timeHeight, v.fontSize, v.timeMode);
    return record;
}

tagOSD_DATA_EX2_S BuildItem(const EditValues& values, const tagOSD_DATA_EX2_S& current)
{
    return BuildItem(values, current.input, current.item,
                     Resolution{current.inputWidth, current.inputHeight, current.inputRate});
}

void SyncToAll(Items& items, const EditValues& values)
{
    for (auto& item : items)
        item = std::make_shared<tagOSD_DATA_EX2_S>(BuildItem(values, *item));
}

void SetAllModes(Items& items, int mode)
{
    for (auto& item : items) {
        item->osd.shown = mode;
        item->timeShown = mode;
        item->timeMode = mode;
    }
}

void StoreItems(CQelProcessor& processor, const Items& items)
{
    CQelProcessor::CInputOSD& store = processor.GetInputOsd();
    for (const auto& i : items) {
        const tagOSD_DATA_EX2& osd = i->osd;
        store.SetItemBitmap(i->input, i->item, osd.bitmap, osd.left, osd.top, osd.right, osd.bottom);
        store.SetItemFlagB(i->input, i->item, osd.shown);
        store.SetItemFlagA(i->input, i->item, osd.transparent);
        store.SetItemColorB(i->input, i->item, osd.captionColor);
        store.SetItemColorA(i->input, i->item, osd.background);
        store.SetItemPairE(i->input, i->item, i->left, i->top);
        store.SetItemValueF(i->input, i->item, i->timeShown);
        store.SetItemPairG(i->input, i->item, i->timeLeft, i->timeTop);
        store.SetItemSize(i->input, i->item, i->timeRectRight - i->timeRectLeft, i->timeRectBottom - i->timeRectTop);
        store.SetItemValueH(i->input, i->item, i->fontSize);
    }
}

namespace {

constexpr uint32_t kSourcesPerSlot = 100;

} // namespace

Resolution InputSize(const CQelProcessor& processor, int input, int item)
{
    // The store counts input boards from 0 in slot order, whatever slot the
    // first one sits in; discovery names a source slot x 100 + port.
    std::set<uint32_t> slots;
    for (const auto& source : processor.GetSigSrcs())
        slots.insert(source->GetId() / kSourcesPerSlot);
    if (input < 0 || size_t(input) >= slots.size() || item < 0 || item >= int(kSourcesPerSlot))
        return kDefaultInput;
    const uint32_t slot = *std::next(slots.begin(), input);
    const auto source = processor.GetSigSrc(slot * kSourcesPerSlot + uint32_t(item));
    if (!source)
        return kDefaultInput;
    const Resolution size = source->GetResolution();
    if (size.width == 0 || size.height == 0)
        return kDefaultInput;
    return size;
}

int ToMonitor(int64_t position, int monitorStart, int monitorLength, int inputLength)
{
    if (inputLength <= 0)
        return monitorStart;
    // Values loaded from IOSD.dat may lie anywhere: the preview stays on
    // the monitor, as the crop preview keeps its frame inside its area.
    const int64_t inside = std::clamp<int64_t>(position, 0, inputLength);
    return int(monitorStart + int64_t(monitorLength) * inside / inputLength);
}

int FromMonitor(int monitorPosition, int monitorStart, int monitorLength, int inputLength)
{
    if (monitorLength <= 0)
        return 0;
    return int(int64_t(monitorPosition - monitorStart) * inputLength / monitorLength);
}

Rect CaptionPreviewRect(const Rect& m, const tagOSD_DATA_EX2_S& item)
{
    const int w = m.right - m.left;
    const int h = m.bottom - m.top;
    const int64_t width = int64_t(item.osd.right) - item.osd.left;
    const int64_t height = int64_t(item.osd.bottom) - item.osd.top;
    return {ToMonitor(item.left, m.left, w, item.inputWidth), ToMonitor(item.top, m.top, h, item.inputHeight),
            ToMonitor(item.left + width, m.left, w, item.inputWidth),
            ToMonitor(item.top + height, m.top, h, item.inputHeight)};
}

Rect TimePreviewRect(const Rect& m, const tagOSD_DATA_EX2_S& item)
{
    const int w = m.right - m.left;
    const int h = m.bottom - m.top;
    const int64_t tw = int64_t(item.timeRectRight) - item.timeRectLeft;
    const int64_t th = int64_t(item.timeRectBottom) - item.timeRectTop;
    return {ToMonitor(item.timeLeft, m.left, w, item.inputWidth), ToMonitor(item.timeTop, m.top, h, item.inputHeight),
            ToMonitor(item.timeLeft + tw, m.left, w, item.inputWidth),
            ToMonitor(item.timeTop + th, m.top, h, item.inputHeight)};
}

Progress SendingProgress(int index, int count)
{
    if (index < count)
        return Progress::Running;
    return index == count ? Progress::Done : Progress::Failed;
}

Progress SavingProgress(int done, int total)
{
    if (done < total)
        return Progress::Running;
    return done == total ? Progress::Done : Progress::Failed;
}

} // namespace inputosd
