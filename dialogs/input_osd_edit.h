#pragma once
// What the input OSD editor decides without a window: the slot table of the
// source names, the name command, reading its number fields, building items
// from the edited values, the preview arithmetic and the job progress.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/model_values.h"
#include "model/osd_item.h"
#include "platform/geometry.h"

class CQelProcessor;

namespace inputosd {

// The slot table: 9 inputs of 4 items; slot index = input x 4 + item.
inline constexpr int kSlotInputs = 9;
inline constexpr int kSlotItems = 4;
inline constexpr int kSlotCount = kSlotInputs * kSlotItems;
// The name command carries at most this many bytes of the name.
inline constexpr size_t kNameBytesSent = 24;
inline constexpr int kMaxPosition = 2000;
inline constexpr int kMaxColour = 255;
inline constexpr int kMaxTimeWidth = 255;
inline constexpr int kMaxTimeHeight = 127;
// An input whose source gives no size counts as this.
inline constexpr Resolution kDefaultInput{1920, 1080, 60};

// The two numbers of the title by the processor's model.
std::pair<int, int> TitleSize(int32_t model);

// "1_1" to "9_4".
std::string SlotLabel(int input, int item);
// -1 outside the slot table.
int SlotIndex(int input, int item);

// The list line's data: input in the high 16 bits, item in the low ones.
inline uint32_t ItemKey(int input, int item)
{
    return uint32_t(input) << 16 | (uint32_t(item) & 0xFFFFu);
}

// "I_F SIPN input item n " and a token per byte of the first 24 bytes of the
// UTF-8 name, blank-padded to a fixed width; request 37 adds its " \r\n".
std::string SourceNameCommand(int input, int item, const std::string& utf8Name);

// A number field as the editor reads it on every change: a blank field
// takes the fallback; other text that is no integer, or an integer outside
// lo to hi, is refused.
struct FieldValue {
    int value = 0;
    bool refused = false; // no number, or out of range
};
FieldValue ReadField(const std::string& text, int lo, int hi, int fallback);

// 0x00BBGGRR and back.
inline int32_t PackColour(int red, int green, int blue)
{
    return int32_t(red & 0xFF) | int32_t(green & 0xFF) << 8 | int32_t(blue & 0xFF) << 16;
}
inline int RedOf(int32_t c)
{
    return c & 0xFF;
}
inline int GreenOf(int32_t c)
{
    return c >> 8 & 0xFF;
}
inline int BlueOf(int32_t c)
{
    return c >> 16 & 0xFF;
}

// The time radios in their order (启用, 禁用, 只启用当前信号源) and the time
// mode each stands for.
int TimeModeOfRadio(int radio);
int TimeRadioOfMode(int mode);

// The values bound to the editor's controls.
struct EditValues {
    int input = 0;
    int item = 1;
    int shown = 1; // caption shown (non-zero) or hidden (0)
    int left = 0;
    int top = 0;
    int32_t captionColour = 0;
    int32_t backColour = 0;
    int transparent = 1;
    tagOSD_DATA_EX2 logo;
    int timeShown = 0;
    int timeMode = 0;
    int timeLeft = 0;
    int timeTop = 0;
    int timeWidth = kMaxTimeWidth;
    int timeHeight = kMaxTimeHeight;
    int fontSize = 0;
};

EditValues ValuesOf(const tagOSD_DATA_EX2_S& item);
// The item the controls describe, for the given input, item and input size.
// The input and item are clamped to the slot table as the editor always did.
tagOSD_DATA_EX2_S BuildItem(const EditValues& values, int input, int item, const Resolution& inputSize);
// The same, for the item that the values were loaded from.
tagOSD_DATA_EX2_S BuildItem(const EditValues& values, const tagOSD_DATA_EX2_S& current);

using Items = std::vector<std::shared_ptr<tagOSD_DATA_EX2_S>>;

// Every item takes the values, keeping its own input, item and input size.
void SyncToAll(Items& items, const EditValues& values);
// Every item's shown flag, time shown flag and time mode become `mode`.
void SetAllModes(Items& items, int mode);
// Writes every field of the items into the processor's input OSD store
// (not saved).
void StoreItems(CQelProcessor& processor, const Items& items);

// The size of input `input`'s item `item`: the source at port `item` of the
// input-th slot (from 0, ascending) that holds sources; absent or reporting
// 0 gives 1920 x 1080.
Resolution InputSize(const CQelProcessor& processor, int input, int item);

// A position in input pixels on the monitor rectangle (clamped to the
// input) and back (x with widths, y with heights).
int ToMonitor(int64_t position, int monitorStart, int monitorLength, int inputLength);
int FromMonitor(int monitorPosition, int monitorStart, int monitorLength, int inputLength);
// The two previews on the monitor rectangle.
Rect CaptionPreviewRect(const Rect& monitor, const tagOSD_DATA_EX2_S& item);
Rect TimePreviewRect(const Rect& monitor, const tagOSD_DATA_EX2_S& item);

// What a progress report of the sending job does to the dialog.
enum class Progress { Running, Done, Failed };
// Index below the count: running; equal: done; beyond (the job's failure
// report): failed.
Progress SendingProgress(int index, int count);
// Done below total: running; equal: done; else failed.
Progress SavingProgress(int done, int total);

} // namespace inputosd
