#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "context/context.h"
#include "core/event_queue.h"
#include "core/events.h"
#include "corlane/app_path.h"
#include "model/osd_record.h"
#include "plan/cycle_plan.h"
#include "plan/plan_manager.h"
#include "plan_test_support.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;
using tavrix::test::ReadText;
using tavrix::test::WriteText;

inline std::string InPlanFolder(const std::string& file)
{
    return qz::vok::path::GetPlanPath() + "/" + file;
}

inline std::string Golden(const std::string& file)
{
    return ReadText(std::string(PLAN_TEST_DATA) + "/" + file);
}

inline std::string Le32(uint32_t v)
{
    std::string s;
    for (int i = 0; i < 4; ++i)
        s.push_back(char((v >> (8 * i)) & 0xFF));
    return s;
}

inline int CountPlanListEvents()
{
    int n = 0;
    EventPtr e;
    while (CEvtQueue::get_instance().TryPop(e))
        n += e->GetType() == CPlanListChangedEvent::kType;
    return n;
}

// A fresh context with processor 1 selected (outputs 10900 and 10901 side
// by side) and an empty plan folder.
class PlanFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestProcessor p;
        p.cells = {{{0, 0}, 10900}, {{0, 1}, 10901}};
        SelectProcessor(p);
        fs::remove_all(qz::vok::path::GetPlanPath());
        fs::create_directories(qz::vok::path::GetPlanPath());
        TakeEvents();
        man = CQelContext::GetPlanMan();
    }
    void TearDown() override
    {
        man.reset();
        ReleaseContext();
    }

    std::shared_ptr<CQelPlanMan> man;
};

// A bitmap of the given size whose bytes count up from `seed`.
inline std::vector<uint8_t> Pattern(int32_t w, int32_t h, uint8_t seed)
{
    std::vector<uint8_t> bits(OsdBitmapBytes(w, h));
    for (size_t i = 0; i < bits.size(); ++i)
        bits[i] = uint8_t(seed + i);
    return bits;
}

inline std::shared_ptr<CQelWindow> Logo(int32_t w, int32_t h, uint8_t seed, int32_t colour)
{
    auto win = MakeWindow({0, 0, 100, 100}, kLogoSigSrc);
    OsdRecordSetBitmap(*win->osd, Pattern(w, h, seed), 0, 0, w, h);
    win->osd->background = colour;
    win->osd->captionColor = colour + 1;
    win->osd->transparent = 0;
    win->osd->shown = seed;
    return win;
}
