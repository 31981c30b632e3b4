// Pictures: a PNG, BMP or JPEG file imported as an OSD logo, and the same
// file loaded as an image of the interface. A logo that imports is stored
// in a plan's ".osd" and reads back bit for bit.
#include <string>
#include <vector>

#include "model/osd_record.h"
#include "plan/osd_picture.h"
#include "plan/plan_file.h"
#include "plan/plan_osd_file.h"
#include "platform/ui/image_file.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterWorkFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::PutFile("picture", fuzz::Bytes(data, size));
    (void)ui::loadImage("picture");

    tagOSD_DATA_EX2 logo;
    if (OsdRecordFromPicture(logo, "picture") != 0)
        return 0;
    fuzz::Require(logo.bitmap.size() == OsdBitmapBytes(kOsdMaxWidth, kOsdMaxHeight),
                  "an imported logo has the wrong size");
    PlanOsdFile out;
    out.Create("logo.osd");
    out.AppendRecord(7, Rect{logo.left, logo.top, logo.right, logo.bottom}, {}, logo.bitmap);
    fuzz::PutFile("logo.osd", out.Image());

    PlanOsdFile in;
    fuzz::Require(in.OpenForRead("logo.osd") == 0, "the .osd cannot be read");
    const PlanOsdTable table = ReadPlanOsdTable(in);
    fuzz::Require(!in.Damaged() && table.size() == 1 && table.count(7) == 1, "the logo does not read back");
    fuzz::Require(table.at(7).bitmap == logo.bitmap, "the logo reads back otherwise");
    return 0;
}
