#pragma once
#include <cstdint>
#include <string>

#include "core/indirect.h"
#include "platform/geometry.h"

struct tagOSD_DATA_EX2; // model/osd_record.h
// Instantiated in plan/window.cpp, so that this header need not see the record.
extern template class Indirect<tagOSD_DATA_EX2>;

// The source id that marks a logo window: it shows only its OSD record.
inline constexpr int32_t kLogoSigSrc = -2;

// One window (layer) of a plan. A plain record shared by pointer between
// the plan, its history and the views; the plan keeps `id`, `layer` and
// `active` consistent.
struct CQelWindow {
    int32_t id = 0;
    std::string name; // UTF-8
    int32_t processor = -1;
    int32_t sigsrc = -1; // -1 none, kLogoSigSrc for a logo window
    int32_t layer = 0;   // 1-based position in the plan's list
    Rect rectView;       // in the wall view's client coordinates
    Rect rect;           // on the wall, in plan pixels
    Rect rcsigsrc;       // crop of the source; empty means the whole source
    Size szsigsrcfull;   // size of the whole picture the window is part of
    Rect rcsigsrcinner;  // where the window lies in that picture
    bool fullscreen = false;
    bool active = false;
    int32_t status = 0; // 1 locked
    bool scaled = true; // false: source pixels shown 1:1
    bool resourceOk = false;
    int32_t is4k = 0;  // 1 on a 4K window, 1 to 4 on its part records
    int32_t group = 0; // 0 none
    // Each copy of a window has a record of its own.
    Indirect<tagOSD_DATA_EX2> osd;
    friend bool operator==(const CQelWindow&, const CQelWindow&) = default;
};

// Copies every field but `is4k` and the OSD record, which the destination
// keeps. Copying a record onto itself does nothing.
void WindowRecordCopy(CQelWindow& dst, const CQelWindow& src);

// True when the two differ in anything but `active`, `is4k`, `group` and
// the OSD record.
bool WindowRecordDiffers(const CQelWindow& a, const CQelWindow& b);
