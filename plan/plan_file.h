#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "plan/plan.h"
#include "plan/plan_osd_file.h"

// The ".plan" file: UTF-8 XML, one tab a level, every value an attribute,
// with the logo bitmaps in the ".osd" file beside it.

// One OSD record read back from the ".osd" file, by its index.
struct PlanOsdEntry {
    Rect rect;
    PlanOsdFile::Words words;
    std::vector<uint8_t> bitmap;
};
using PlanOsdTable = std::map<int32_t, PlanOsdEntry>;

// The plan's XML text; each logo window's OSD record goes into `osd`
// (already created) under the index its "osdindex" names.
std::string BuildPlanFileText(const CQelPlan& plan, PlanOsdFile& osd);

// Fills an empty plan that carries its name from the XML text and the OSD
// records. False, with the reason, when the text is not well-formed, not
// version "V1", lacks an element, or gives no rows, columns or resolution.
bool ParsePlanFileText(const std::string& text, const PlanOsdTable& osd, CQelPlan& plan, std::string& reason);

// Every record of an opened ".osd" file that reads, the first of an index
// winning; reading stops at the first record that does not fit.
PlanOsdTable ReadPlanOsdTable(PlanOsdFile& osd);

// Writes "<name>.osd" and "<name>.plan" in the plan folder: both go to
// temporaries first and are put in place (".osd" first) only when both are
// written; if the ".plan" cannot be put in place the old ".osd" comes back.
bool SavePlanFiles(const CQelPlan& plan, std::string& error);

// Reads "<name>.plan" and "<name>.osd" of the plan folder into `plan`. A
// missing or damaged ".osd" is no failure (a damaged one is kept as .bad).
bool LoadPlanFiles(const std::string& name, CQelPlan& plan, std::string& reason);
