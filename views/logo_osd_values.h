#pragma once
// A logo window's OSD as the OSD settings dialog edits it: apart from the
// dialogs' interface, which hands it on by reference only, so that the
// views' users need not see the OSD record.
#include <cstdint>

#include "model/osd_record.h"
#include "platform/ui/colour.h"

struct LogoOsdValues {
    ui::ColorRef captionColour = 0;
    ui::ColorRef backgroundColour = 0;
    bool shown = false;
    bool transparent = true;
    // The logo picture; the dialog hands back a record whose bitmap is the
    // one to keep.
    tagOSD_DATA_EX2 logo;
    int32_t left = 0; // the window's wall position
    int32_t top = 0;
};
