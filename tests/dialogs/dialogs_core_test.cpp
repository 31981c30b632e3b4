// The dialogs' checks and arithmetic, without windows.
#include <gtest/gtest.h>

#include <limits>

#include "context/context.h"
#include "dialogs/crop_scale.h"
#include "dialogs/field_check.h"
#include "dialogs/layout_choices.h"
#include "dialogs/password_check.h"
#include "dialogs/preset_slots.h"
#include "model/processor.h"
#include "model/processor_link.h"
#include "model/processor_settings.h"

TEST(CropPreview, ScalesBothWaysMultiplyingFirst)
{
    const CropPreview preview(Size{1920, 1080}, Size{370, 255});
    EXPECT_EQ(preview.ToArea({0, 0, 960, 540}), (Rect{0, 0, 185, 127}));
    // Moved against the area's right edge: the width is kept but cut at
    // the source width, right edges excluded.
    const Rect crop{0, 0, 1000, 500};
    const Rect window = preview.ToArea({0, 0, 1000, 500});
    EXPECT_EQ(window, (Rect{0, 0, 192, 118}));
    EXPECT_EQ(preview.Moved(crop, Point{370 - 192, 0}), (Rect{923, 0, 1920, 500}));
    EXPECT_EQ(preview.Sized(Rect{100, 100, 500, 500}, Size{370, 255}), (Rect{100, 100, 1920, 1080}));
    EXPECT_EQ(preview.Sized(Rect{100, 100, 500, 500}, Size{37, 51}), (Rect{100, 100, 292, 316}));
}

TEST(CropPreview, TypedValuesOutOfRangeStayInTheArea)
{
    const CropPreview preview(Size{1920, 1080}, Size{370, 255});
    constexpr int64_t kHuge = std::numeric_limits<int64_t>::max();
    constexpr int64_t kLow = std::numeric_limits<int64_t>::min();
    EXPECT_EQ(preview.ToArea({kLow, -1, kHuge, 5000000000}), (Rect{0, 0, 370, 255}));
    EXPECT_EQ(preview.ToArea({kHuge, kHuge, 0, 0}), (Rect{370, 255, 370, 255}));
    EXPECT_EQ(preview.ToArea({500, 300, 100, 100}), (Rect{96, 70, 96, 70})); // right before left
    // A source too large for 32-bit products.
    const CropPreview wide(Size{std::numeric_limits<int32_t>::max(), 2}, Size{370, 255});
    EXPECT_EQ(wide.ToArea({0, 0, std::numeric_limits<int32_t>::max(), 2}), (Rect{0, 0, 370, 255}));
    EXPECT_EQ(wide.Moved(Rect{0, 0, std::numeric_limits<int32_t>::max(), 2}, Point{370, 255}).right,
              std::numeric_limits<int32_t>::max());
}

TEST(FieldCheck, RangesAndSaturation)
{
    EXPECT_EQ(ParseIntField(" 10000000 ", 0, 10000000), 10000000);
    EXPECT_EQ(ParseIntField("10000001", 0, 10000000), std::nullopt);
    EXPECT_EQ(ParseIntField("-1", 0, 255), std::nullopt);
    EXPECT_EQ(ParseIntField("", 0, 255), std::nullopt);
    EXPECT_EQ(ParseIntField("12a", 0, 255), std::nullopt);
    EXPECT_EQ(ParseSaturatedField("-42"), -42);
    EXPECT_EQ(ParseSaturatedField("99999999999999999999999"), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(ParseSaturatedField("-99999999999999999999999"), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(ParseSaturatedField("-"), 0);
    EXPECT_EQ(ParseSaturatedField("x"), 0);
    EXPECT_EQ(RangeMessage(0, 255), QStringLiteral("请输入一个介于 0 和 255 之间的整数。"));
}

TEST(PasswordCheck, EveryAttemptClearsTheFlagFirst)
{
    SetPasswordAccepted(false);
    EXPECT_FALSE(TryPassword("123", "739146"));
    EXPECT_FALSE(IsPasswordAccepted());
    EXPECT_TRUE(TryPassword("739146", "739146"));
    EXPECT_TRUE(IsPasswordAccepted());
    EXPECT_FALSE(TryPassword("739146 ", "739146")); // exact, case and blanks alike
    EXPECT_FALSE(IsPasswordAccepted());
    EXPECT_FALSE(TryPassword("ABC", "abc"));
    SetPasswordAccepted(false);
}

TEST(PasswordCheck, NewPasswordsThatCannotBeKeptAreRefused)
{
    struct Case {
        const char* password;
        const char* repeat;
        const char* problem; // null: taken
    } cases[] = {
        {"", "", "密码不能为空，请重新输入！"},
        {"", "a", "密码不能为空，请重新输入！"},
        {"a", "b", "两次密码输入不一致，请重新输入！"},
        {" ", " ", "密码首尾不能有空格，请重新输入！"},
        {" x", " x", "密码首尾不能有空格，请重新输入！"},
        {"x ", "x ", "密码首尾不能有空格，请重新输入！"},
        {"x y", "x y", nullptr},
        {"密码", "密码", nullptr},
    };
    for (const Case& c : cases) {
        const auto problem = NewPasswordProblem(c.password, c.repeat);
        if (c.problem)
            EXPECT_EQ(problem.value_or("taken"), std::string(c.problem)) << c.password;
        else
            EXPECT_FALSE(problem) << c.password;
    }
}

TEST(LayoutChoices, OfferedBySourceCount)
{
    auto codes = [](std::optional<size_t> sources) {
        std::vector<int> out;
        for (const auto& c : LayoutChoices(sources))
            out.push_back(c.code);
        return out;
    };
    EXPECT_EQ(codes(std::nullopt), (std::vector<int>{0}));
    EXPECT_EQ(codes(1), (std::vector<int>{0}));
    EXPECT_EQ(codes(3), (std::vector<int>{0, 12, 21, 13, 31}));
    EXPECT_EQ(codes(9), (std::vector<int>{0, 12, 21, 13, 31, 14, 41, 22}));
    EXPECT_STREQ(LayoutChoices(3)[4].entry, "3 x 1 布局");
}

TEST(PresetSlots, ButtonsSlotCountAndNames)
{
    const int ids[] = {1046, 1048, 1050, 1052, 1054, 1056, 1058, 1047, 1049, 1051,
                       1053, 1055, 1057, 1059, 1060, 1062, 1064, 1061, 1063, 1065};
    for (int slot = 1; slot <= kSlotCount; ++slot)
        EXPECT_EQ(SlotOfButtonId(ids[slot - 1]), slot);
    EXPECT_EQ(SlotOfButtonId(kDefaultLayoutButton), 0);

    CQelProcessor processor;
    auto options = processor.settings().GetAppOptions();
    options.planPatternCount = 8;
    processor.settings().SetAppOptions(options);
    EXPECT_TRUE(SlotEnabled(&processor, 8));
    EXPECT_FALSE(SlotEnabled(&processor, 9));
    EXPECT_TRUE(SlotEnabled(nullptr, 20));
    // Without a processor a recall does nothing; unconnected it says so.
    EXPECT_EQ(RecallSlot(nullptr, 3), std::nullopt);
    EXPECT_STREQ(RecallSlot(&processor, 3).value_or(""), "处理器未连接，请连接处理器！");

    EXPECT_STREQ(SlotNameProblem("").value_or(""), "请输入新的方案名称!");
    EXPECT_FALSE(SlotNameProblem(std::string(259, 'a')));
    EXPECT_TRUE(SlotNameProblem(std::string(260, 'a')));
    processor.link().StopSender();
    CQelContext::Destroy();
}
