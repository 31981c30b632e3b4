// A source whose size is not a picture's (a damaged reply can leave
// -1 x -1) is laid out by every builder family as a source without signal.
#include <gtest/gtest.h>

#include <functional>

#include "model/sig_out.h"
#include "model/sig_src.h"
#include "tests/builder/apply_test_support.h"
#include "model/processor_settings.h"
#include "tests/builder/sender_test_support.h"

namespace {

// One family's processor around the subject source and a plan that shows it
// beside a source with signal.
struct Family {
    const char* name;
    int32_t kind;
    std::function<void(ApplyFixture&)> setUp;
    uint32_t subject;
    int32_t subjectType;
    std::function<std::shared_ptr<CQelPlan>()> plan;
};

void AddSubject(CQelProcessor& processor, uint32_t id, int32_t type, const Resolution& size, bool joined)
{
    CQelSigSrc::Values v;
    v.id = id;
    v.type = type;
    v.resolution = size;
    v.joined = joined;
    auto source = std::make_shared<CQelSigSrc>(v);
    source->SetBoard(processor.GetBoard(id / 100));
    processor.AddSigSrc(source, false, false);
}

std::shared_ptr<CQelPlan> SideBySide(int32_t subject, int32_t other = 100)
{
    auto plan = MakePlan(1, 2);
    AddWindow(*plan, {0, 0, 1920, 1080}, other);
    AddWindow(*plan, {1920, 0, 3840, 1080}, subject);
    return plan;
}

// Every command the family queues for its plan.
std::vector<Pushed> Applied(const Family& family, const Resolution& size, bool joined)
{
    SenderContextGuard guard;
    ApplyFixture f(family.kind);
    family.setUp(f);
    AddSubject(*f.processor, family.subject, family.subjectType, size, joined);
    EXPECT_TRUE(family.plan()->Apply(0, nullptr)) << family.name;
    return f.recorder.Pushes();
}

void Standard16(ApplyFixture& f)
{
    f.Standard();
    // A source cut out of the physical input 225 at (100, 50).
    f.AddBoard(2, 1, 4);
    f.AddSource(207, 2, 640, 360, 9, {100, 50});
}

void Base32(ApplyFixture& f)
{
    f.AddBoard(1, 1, 4);
    f.AddBoard(101, 21, 4);
    f.AddSource(100, 1);
    f.AddOutput(10100);
    f.AddOutput(10101);
    f.SetWall({{{0, 0}, 10100}, {{0, 1}, 10101}});
}

} // namespace

TEST(NoSignal, SourceWithoutAPositiveSizeIsLaidOutAsOneWithoutSignal)
{
    const std::vector<Family> families = {
        {"model 1 text", 1, [](ApplyFixture& f) { f.Standard(); }, 101, 1, [] { return SideBySide(101); }},
        {"model 2 text", 2,
         [](ApplyFixture& f) {
             f.Standard();
             f.processor->settings().SetSourceScaler(2);
         },
         101, 1, [] { return SideBySide(101); }},
        {"16x16", 3, Standard16, 101, 1, [] { return SideBySide(101); }},
        {"16x16 carrier", 3, Standard16, 225, 1, [] { return SideBySide(207); }},
        {"16x16 switch", 3, Standard16, 101, 1,
         [] {
             return SwitchPlan({{1000, 100}, {1001, 101}});
         }},
        {"16x16 switch carrier", 3, Standard16, 225, 1,
         [] {
             return SwitchPlan({{1000, 207}});
         }},
        {"32x32", 5, Base32, 102, 1, [] { return SideBySide(102); }},
        {"32x32 switch", 5, Base32, 102, 1,
         [] {
             return SwitchPlan({{10100, 100}, {10101, 102}});
         }},
        {"LED", 4,
         [](ApplyFixture& f) {
             f.AddBoard(1, 2, 0);
             f.AddBoard(10, 21, 4);
             f.AddSource(100, 1);
             for (uint32_t id : {1004u, 1005u, 1006u})
                 f.AddOutput(id);
             f.SetWall({{{0, 0}, 1004}, {{0, 1}, 1005}});
         },
         101, 1,
         [] {
             auto plan = SideBySide(101);
             plan->SetWatchOutputs({1006});
             auto watch = std::make_shared<CQelWatchWindow>();
             watch->processor = 1;
             watch->sigout = 1006;
             watch->row = 1;
             watch->col = 2;
             watch->cells = {101, 100};
             plan->AddWatchWindow(watch);
             return plan;
         }},
        {"16-part", 6,
         [](ApplyFixture& f) {
             f.AddBoard(1, 1, 0);
             f.AddBoard(10, 21, 4);
             f.AddSource(100, 1);
             for (uint32_t id : {1000u, 1001u}) {
                 f.AddOutput(id);
                 f.processor->GetSigOut(id)->SetResolution({1920, 1080, 60});
             }
             f.SetWall({{{0, 0}, 1000}, {{0, 1}, 1001}});
         },
         101, 1, [] { return SideBySide(101); }},
        {"8-part", 8,
         [](ApplyFixture& f) {
             AddTestBoards(*f.processor, {{1, 1}, {109, 12}});
             AddTestSource(*f.processor, 100, 1920, 1080);
             SetTestOutputs(*f.processor, {10900, 10901}, {{{0, 0}, 10900}, {{0, 1}, 10901}});
         },
         101, 1, [] { return SideBySide(101); }},
    };
    // What a source without signal looks like: none reported, not joined.
    const Resolution none{0, 0, 60};
    for (const auto& family : families) {
        const auto expected = Applied(family, none, false);
        EXPECT_FALSE(expected.empty()) << family.name;
        for (const Resolution damaged : {Resolution{-1, -1, 60}, Resolution{1920, -1, 60}}) {
            const auto pushes = Applied(family, damaged, true);
            EXPECT_EQ(pushes, expected) << family.name << " " << damaged.width << "x" << damaged.height;
            for (const auto& p : pushes)
                EXPECT_EQ(p.text.find("-1"), std::string::npos) << family.name << ": " << p.text;
        }
    }
}
