#include "model/processor.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/events.h"
#include "model/board.h"
#include "model/processor_records.h"
#include "model/processor_settings.h"
#include "model/sig_src.h"
#include "model_test_support.h"

namespace {

std::shared_ptr<CQelProcessor> MakeProcessor(uint32_t id = 1)
{
    auto p = std::make_shared<CQelProcessor>();
    p->SetId(id);
    DrainEvents();
    return p;
}

std::shared_ptr<CQelBoard> MakeBoard(uint32_t id, int32_t type)
{
    auto board = std::make_shared<CQelBoard>(id);
    board->SetType(type);
    return board;
}

std::shared_ptr<CQelSigSrc> MakeSource(uint32_t id, const std::shared_ptr<CQelBoard>& board = {}, int32_t type = 0)
{
    auto source = std::make_shared<CQelSigSrc>(id);
    source->SetBoard(board);
    source->SetType(type);
    return source;
}

std::vector<uint32_t> OutputIds(const CQelProcessor& p)
{
    std::vector<uint32_t> ids;
    for (const auto& o : p.GetSigOuts())
        ids.push_back(o->GetId());
    return ids;
}

} // namespace

TEST(Processor, TypeReplySetsKindAndNameOnlyWhenTheKindChanges)
{
    auto p = MakeProcessor();
    EXPECT_EQ(p->GetKind(), 0);
    EXPECT_EQ(p->settings().GetAuthorization(), 0);

    p->SetKind(8);
    p->settings().OnTypeReply("GP TYPE 3 0");
    EXPECT_TRUE(p->settings().IsModified());
    EXPECT_EQ(p->GetKind(), 8);
    EXPECT_EQ(p->GetName(), "8x8Pro处理器");

    p->settings().SetModified(false);
    p->settings().OnTypeReply("GP TYPE 0 0"); // kind already 8: the name stays
    EXPECT_FALSE(p->settings().IsModified());
    EXPECT_EQ(p->GetName(), "8x8Pro处理器");
    EXPECT_EQ(p->settings().GetTypeReplyText(), "GP TYPE 0 0");

    p->settings().OnTypeReply("GP TYPE 7 1");
    EXPECT_EQ(p->settings().GetTypeReplyText(), "GP TYPE 7 1");
    EXPECT_EQ(p->GetKind(), 8);
    EXPECT_FALSE(p->settings().IsModified());

    // An unreadable reply is kept as text and changes nothing else.
    p->SetKind(1);
    p->settings().OnTypeReply("GP TYPE x");
    EXPECT_EQ(p->GetKind(), 1);
    EXPECT_FALSE(p->settings().IsModified());
    EXPECT_EQ(p->settings().GetTypeReplyText(), "GP TYPE x");

    p->settings().OnTypeReply("GP TYPE 2 0");
    EXPECT_EQ(p->GetKind(), 7);
    EXPECT_EQ(p->GetName(), "8x8处理器");
    EXPECT_TRUE(p->settings().IsModified());
    p->settings().OnTypeReply("GP TYPE 1 0");
    EXPECT_EQ(p->GetKind(), 10);
    EXPECT_EQ(p->GetName(), "36x36处理器");
    EXPECT_TRUE(DrainEvents().empty());
}

TEST(Processor, AddRefusesEmptyNoIdAndDuplicatesAndKeepsOutputsOrdered)
{
    auto p = MakeProcessor();
    for (uint32_t id : {1402u, 1301u, 1401u})
        EXPECT_TRUE(p->AddSigOut(std::make_shared<CQelSigOut>(id)));
    EXPECT_EQ(OutputIds(*p), (std::vector<uint32_t>{1301, 1401, 1402}));
    EXPECT_FALSE(p->AddSigOut(std::make_shared<CQelSigOut>(1401)));
    EXPECT_FALSE(p->AddSigOut(std::make_shared<CQelSigOut>(kNoId)));
    EXPECT_FALSE(p->AddSigOut(nullptr));
    EXPECT_EQ(p->GetSigOut(1401)->GetOwnerId(), 1u);
    EXPECT_EQ(p->GetSigOut(1401)->GetOwner(), p);
    EXPECT_EQ(p->records().GetSigOutAt(3), nullptr);
    EXPECT_EQ(p->GetSigOut(7), nullptr);

    EXPECT_TRUE(p->records().AddBoard(MakeBoard(3, 1)));
    EXPECT_FALSE(p->records().AddBoard(MakeBoard(3, 12)));
    EXPECT_FALSE(p->records().AddBoard(MakeBoard(kNoId, 1)));
    EXPECT_TRUE(p->AddSigSrc(MakeSource(300), true, false));
    EXPECT_FALSE(p->AddSigSrc(MakeSource(300), true, false));
    EXPECT_FALSE(p->AddSigSrc(MakeSource(kNoId), true, false));
    EXPECT_FALSE(p->AddSigSrc(nullptr, true, false));
    const auto events = DrainEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(As<CSigSrcAddedEvent>(events[0]).sourceId, 300);
    EXPECT_EQ(As<CSigSrcAddedEvent>(events[0]).processorId, 1);

    // A record belongs to one processor.
    auto other = MakeProcessor(2);
    EXPECT_FALSE(other->AddSigOut(p->GetSigOut(1301)));
    EXPECT_FALSE(other->AddSigSrc(p->GetSigSrc(300), false, false));
    EXPECT_TRUE(other->AddSigOut(std::make_shared<CQelSigOut>(1301)));
}

TEST(Processor, RemovingBoardsRemovesTheirRecords)
{
    auto p = MakeProcessor();
    auto input = MakeBoard(3, 1);
    auto output = MakeBoard(103, 12);
    p->records().AddBoard(input);
    p->records().AddBoard(output);
    p->records().AddBoard(MakeBoard(4, 30)); // neither kind
    p->AddSigSrc(MakeSource(300, input), false, false);
    p->AddSigSrc(MakeSource(400), false, false);
    p->AddSigSrc(MakeSource(301, input), false, false);
    for (uint32_t id : {10300u, 10301u}) {
        auto o = std::make_shared<CQelSigOut>(id);
        o->SetBoard(output);
        p->AddSigOut(o);
    }
    p->AddSigOut(std::make_shared<CQelSigOut>(10400));

    EXPECT_EQ(p->records().GetBoardBySlot(3), input);
    EXPECT_EQ(p->records().GetBoardBySlot(4), nullptr);
    auto p2 = MakeProcessor(2);
    p2->records().AddBoard(MakeBoard(103, 12));
    p2->records().AddBoard(MakeBoard(3, 1));
    EXPECT_EQ(p2->records().GetBoardBySlot(3)->GetId(), 103u);

    const auto held = p->GetSigSrc(300); // as the UI may hold it
    DrainEvents();
    p->records().RemoveBoard(3);
    const auto events = DrainEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(As<CSigSrcRemovedEvent>(events[0]).sourceId, 300);
    EXPECT_EQ(As<CSigSrcRemovedEvent>(events[1]).sourceId, 301);
    EXPECT_EQ(p->records().GetSigSrcCount(), 1u);
    EXPECT_EQ(p->GetBoard(3), nullptr);
    input.reset();
    EXPECT_EQ(held->GetBoard(), nullptr); // the board went with the processor's copy
    EXPECT_EQ(held->GetOwnerId(), 1u);

    p->records().RemoveBoardItems(103);
    EXPECT_TRUE(DrainEvents().empty());
    EXPECT_EQ(OutputIds(*p), std::vector<uint32_t>{10400});
    EXPECT_NE(p->GetBoard(103), nullptr);
    p->records().RemoveBoard(999);
    EXPECT_EQ(p->records().GetBoardCount(), 2u);
}

TEST(Processor, RemovingA4KSourceRemovesItsQuarters)
{
    auto p = MakeProcessor();
    for (uint32_t q = 20; q < 24; ++q)
        p->AddSigSrc(MakeSource(q, {}, 13), false, true);
    p->AddSigSrc(MakeSource(24, {}, 13), false, true);
    p->AddSigSrc(MakeSource(20, {}, 13), false, false);
    EXPECT_EQ(p->records().GetListBItem(22)->GetId(), 22u);
    p->RemoveSigSrc(20);
    EXPECT_EQ(p->records().GetSigSrcCount(), 0u);
    ASSERT_EQ(p->records().GetListBItems().size(), 1u);
    EXPECT_EQ(p->records().GetListBItemAt(0)->GetId(), 24u);
    const auto events = DrainEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0]->GetType(), CSigSrcRemovedEvent::kType);

    p->RemoveSigSrc(20); // absent: nothing
    p->records().NotifySigSrcUpdate(20);
    EXPECT_TRUE(DrainEvents().empty());
}

TEST(Processor, SourceResolutionSetsJoinedStateAndAnnouncesChanges)
{
    auto p = MakeProcessor();
    p->AddSigSrc(MakeSource(300), false, false);
    const auto s = p->GetSigSrc(300);
    EXPECT_FALSE(s->IsJoined());

    s->SetResolution(1280, 720, 50);
    auto events = DrainEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(As<CSigSrcJoinChangedEvent>(events[0]).joined, 1);
    const auto& changed = As<CSigSrcResolutionChangedEvent>(events[1]);
    EXPECT_EQ(changed.processorId, 1);
    EXPECT_EQ(changed.sourceId, 300);
    EXPECT_EQ(changed.width, 1280);
    EXPECT_EQ(changed.rate, 50);

    s->SetResolution(1280, 720, 50); // no change: nothing to tell
    EXPECT_TRUE(DrainEvents().empty());

    s->SetResolution(0, 1080, 60);
    events = DrainEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(As<CSigSrcJoinChangedEvent>(events[0]).joined, 0);
    EXPECT_EQ(s->GetResolution(), (Resolution{1280, 720, 50}));
    s->SetJoined(false);
    EXPECT_TRUE(DrainEvents().empty());

    // A source not yet added tells nobody.
    CQelSigSrc loose(5);
    loose.SetResolution(640, 480, 60);
    EXPECT_TRUE(loose.IsJoined());
    EXPECT_TRUE(DrainEvents().empty());
}

TEST(Processor, ChildrenAndDefaultsOfSources)
{
    auto p = MakeProcessor();
    auto s = MakeSource(100, {}, 10);
    EXPECT_TRUE(s->AddChild(0, 1, "Video1", {704, 474, 60}, 0));
    EXPECT_TRUE(s->AddChild(1, 1, "Video2", {352, 240, 30}, 1));
    EXPECT_FALSE(s->AddChild(1, 1, "again", {1, 1, 1}, 9));
    p->AddSigSrc(s, false, false);
    EXPECT_EQ(s->GetChildAt(1)->GetParent(), s);
    EXPECT_EQ(s->GetChildAt(2), nullptr);
    EXPECT_EQ(s->GetChild(7), nullptr);

    EXPECT_FALSE(s->SelectChild(7));
    EXPECT_TRUE(s->SelectChild(1));
    EXPECT_EQ(s->GetResolution(), (Resolution{352, 240, 30}));
    EXPECT_EQ(s->GetCurChildId(), 1u);
    auto events = DrainEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(As<CSigSrcChildChangedEvent>(events[0]).childId, 1);

    s->SetEdid(5);
    s->SetAdjust(0, 7);
    s->SetAdjust(4, 9); // no such value
    s->ResetDefaults();
    EXPECT_EQ(s->GetResolution(), (Resolution{704, 474, 60})); // child 0's
    EXPECT_EQ(s->GetCurChildId(), 0u);
    EXPECT_EQ(s->GetEdid(), 0u);
    EXPECT_EQ(s->GetAdjust(), (CQelSigSrc::Adjust{128, 128, 128, 0}));
    events = DrainEvents();
    ASSERT_EQ(events.size(), 1u); // only the child selection
    EXPECT_EQ(events[0]->GetType(), CSigSrcChildChangedEvent::kType);

    auto plain = MakeSource(200, {}, 3);
    plain->SetResolution(800, 600, 60);
    plain->ResetDefaults();
    EXPECT_EQ(plain->GetResolution(), (Resolution{1920, 1080, 60}));
    EXPECT_EQ(plain->GetCurChildId(), kNoId);
    EXPECT_EQ(plain->GetAdjust(), (CQelSigSrc::Adjust{0, 128, 128, 0}));

    // A copy of all values, children included.
    const auto values = s->GetValues();
    EXPECT_EQ(values.ownerId, 1u);
    ASSERT_EQ(values.children.size(), 2u);
    EXPECT_EQ(values.children[1].name, "Video2");
}

TEST(Processor, OutputsCompareByValueOwnerAndBoard)
{
    auto p = MakeProcessor();
    auto board = MakeBoard(112, 12);
    p->records().AddBoard(board);
    auto a = std::make_shared<CQelSigOut>(11200);
    auto b = std::make_shared<CQelSigOut>(11200);
    EXPECT_TRUE(a->Equals(*b));
    a->SetName("out");
    EXPECT_FALSE(a->Equals(*b));
    b->SetName("out");
    a->SetBoard(board);
    EXPECT_FALSE(a->Equals(*b));
    b->SetBoard(board);
    EXPECT_TRUE(a->Equals(*b));
    p->AddSigOut(a);
    EXPECT_FALSE(a->Equals(*b)); // owners differ
    EXPECT_TRUE(a->Equals(*a));
    EXPECT_EQ(a->GetValues().boardId, 112u);
}

TEST(Processor, OutputResolutionAndItsList)
{
    auto p = MakeProcessor();
    EXPECT_EQ(p->GetOutputResolution(), (Resolution{1920, 1080, 60}));
    p->SetOutputResolution(1920, 1080, 60);
    p->SetOutputResolution(0, 768, 60);
    p->SetOutputResolution(1024, 768, -1);
    EXPECT_TRUE(DrainEvents().empty());
    p->SetOutputResolution(1024, 768, 60);
    const auto events = DrainEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(As<CProResolutionChangedEvent>(events[0]).width, 1024);
    EXPECT_EQ(p->GetOutputResolution(), (Resolution{1024, 768, 60}));

    p->records().AddResolution({3, "1080p", {1920, 1080, 60}});
    p->records().AddResolution({255, "custom", {800, 600, 60}});
    p->records().AddResolution({3, "again", {1280, 720, 60}});
    EXPECT_EQ(p->records().GetResolutionById(3), (Resolution{1920, 1080, 60}));
    EXPECT_EQ(p->records().GetResolutionById(9), (Resolution{1920, 1080, 60}));
    EXPECT_EQ(p->records().GetResolutionByIdOrZero(9), (Resolution{0, 0, 60}));
    EXPECT_EQ(p->records().FindResolutionId({1280, 720, 60}), 3u);
    EXPECT_EQ(p->records().FindResolutionId({1, 2, 3}), kNoId);
    EXPECT_TRUE(p->records().HasResolutionId(255));
    p->records().RemoveCustomResolution();
    EXPECT_FALSE(p->records().HasResolutionId(255));
    EXPECT_EQ(p->records().GetResolutionList().size(), 2u);
}

TEST(Processor, WallSizeHitTestAndInflateRect)
{
    auto p = MakeProcessor();
    CQelProcessor::Wall wall;
    wall.rows = 2;
    wall.cols = 2;
    wall.colWidths = {0, 0};
    wall.cells = {{{0, 0}, 10100}, {{0, 1}, 0}, {{1, 1}, 10203}};
    p->SetWall(wall);
    p->SetKind(8);
    EXPECT_EQ(p->GetWallPixelSize(), (Size{3840, 2160})); // widths sum to 0
    wall.colWidths = {100, 50};
    wall.rowHeights = {40};
    p->SetWall(wall);
    EXPECT_EQ(p->GetWallPixelSize(), (Size{150, 40}));
    p->SetKind(1); // sizes count only for the kinds that keep them
    EXPECT_EQ(p->GetWallPixelSize(), (Size{3840, 2160}));

    uint32_t board = 0, port = 0;
    EXPECT_FALSE(p->HitTestWallOutput(99, 39, board, port));
    EXPECT_EQ(board, 1u);
    EXPECT_EQ(port, 0u);
    EXPECT_TRUE(p->HitTestWallOutput(120, 10, board, port));       // cell mapped to 0
    EXPECT_TRUE(p->HitTestWallOutput(10, 40 + 1079, board, port)); // (1, 0) has no output
    // Row 1 has no height of its own: it is one output high.
    EXPECT_FALSE(p->HitTestWallOutput(100, 40 + 1079, board, port));
    EXPECT_EQ(board, 2u);
    EXPECT_EQ(port, 3u);
    EXPECT_TRUE(p->HitTestWallOutput(100, 40 + 1080, board, port));
    wall.rows = 0;
    p->SetWall(wall);
    EXPECT_TRUE(p->HitTestWallOutput(0, 0, board, port));
    wall.rows = wall.cols = 2000000000; // a damaged file's grid: still answered at once
    p->SetWall(wall);
    EXPECT_FALSE(p->HitTestWallOutput(0, 0, board, port));
    EXPECT_TRUE(p->HitTestWallOutput(-1, 0, board, port));

    EXPECT_EQ(p->GetWallCellOutput(1, 1), 10203);
    EXPECT_EQ(p->GetWallCellOutput(5, 5), -1);
    int32_t row = -1, col = -1;
    EXPECT_TRUE(p->FindWallCellOfOutput(10203, row, col));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 1);
    EXPECT_FALSE(p->FindWallCellOfOutput(42, row, col));

    CQelProcessor::AppOptions app;
    app.inflateEnable = 1;
    app.inflateRect = Rect{1, 2, 3, 4};
    p->settings().SetAppOptions(app);
    EXPECT_EQ(p->settings().GetInflateRect(), Rect{});
    p->settings().SetObm(1);
    EXPECT_EQ(p->settings().GetInflateRect(), (Rect{1, 2, 3, 4}));
}

// First-text-wins and clearing the FPGA table are seen through the replies
// in the reply tests; here, what readers get is a copy.
TEST(Processor, VersionTablesAreReadAsCopies)
{
    auto p = MakeProcessor();
    EXPECT_TRUE(p->settings().AddFpgaVersion(0, "a"));
    EXPECT_TRUE(p->settings().AddFirmwareVersion(3, "c"));
    auto copy = p->settings().GetFpgaVersions();
    copy[0] = "changed";
    EXPECT_EQ(p->settings().GetFpgaVersions().at(0), "a");
    EXPECT_EQ(p->settings().GetFirmwareVersions().at(3), "c");
    p->settings().ClearFirmwareVersions();
    EXPECT_TRUE(p->settings().GetFirmwareVersions().empty());
}

TEST(Processor, PlanNamesOfSlotsOneToTwenty)
{
    auto p = MakeProcessor();
    const std::string path = CQelProcessor::ProFilePath();
    EXPECT_EQ(p->settings().GetPlanName(5), "5");
    p->settings().SetPlanName(0, "zero");
    p->settings().SetPlanName(21, "x");
    EXPECT_EQ(p->settings().GetPlanName(21), "21");
    EXPECT_FALSE(std::filesystem::exists(path));

    p->settings().SetPlanName(3, "x");
    EXPECT_EQ(p->settings().GetPlanName(3), "x");
    EXPECT_NE(ReadText(path).find("<PlanName id=\"3\" friendname=\"x\"/>"), std::string::npos);

    // 258 single bytes and a three-byte character: cut before the character.
    std::string longName(258, 'a');
    longName += "处tail";
    p->settings().SetPlanName(4, longName);
    EXPECT_EQ(p->settings().GetPlanName(4), std::string(258, 'a'));
    p->settings().SetPlanName(4, std::string(300, 'b'));
    EXPECT_EQ(p->settings().GetPlanName(4), std::string(259, 'b'));
    std::filesystem::remove(path);
}
