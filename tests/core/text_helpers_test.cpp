#include <gtest/gtest.h>

#include <QString>
#include <vector>

#include "core/delay.h"
#include "core/text_helpers.h"
#include "platform/clock.h"

using namespace std::chrono_literals;

TEST(TextHelpers, RectanglesAndPointsRoundTrip)
{
    EXPECT_EQ(RectToText(Rect{0, 0, 1920, 1080}), "0,0,1920,1080");
    EXPECT_EQ(TextToRect("0,0,1920,1080"), (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(RectToText(Rect{-5, INT32_MIN, INT32_MAX, 7}), "-5,-2147483648,2147483647,7");
    EXPECT_EQ(TextToRect("-5,-2147483648,2147483647,7"), (Rect{-5, INT32_MIN, INT32_MAX, 7}));
    EXPECT_EQ(TextToRect("5,6"), (Rect{5, 6, 0, 0}));
    EXPECT_EQ(TextToRect(""), Rect{});
    // "%d" skips blanks before a number but the comma must follow at once.
    EXPECT_EQ(TextToRect(" 1, 2,3 ,4"), (Rect{1, 2, 3, 0}));

    EXPECT_EQ(PointToText(Point{-3, 4}), "-3,4");
    EXPECT_EQ(PointToText(Size{1920, 1080}), "1920,1080");
    EXPECT_EQ(TextToPoint("12,34"), (Point{12, 34}));
    EXPECT_EQ(TextToSize("1920,1080"), (Size{1920, 1080}));
}

TEST(TextHelpers, DamagedTextKeepsFieldsThatDidNotScan)
{
    EXPECT_EQ(TextToRect("abc"), Rect{});
    EXPECT_EQ(TextToRect("1,x,3"), (Rect{1, 0, 0, 0}));
    // Out of the 32-bit range stops the scan like a field that does not scan.
    EXPECT_EQ(TextToRect("99999999999,1,2,3"), Rect{});
    EXPECT_EQ(TextToRect("1,2,2147483648,4"), (Rect{1, 2, 0, 0}));
    EXPECT_EQ(TextToRect("1,2,-2147483649,4"), (Rect{1, 2, 0, 0}));
    EXPECT_EQ(TextToRect("1,2,99999999999999999999999,4"), (Rect{1, 2, 0, 0}));
    EXPECT_EQ(TextToPoint("abc"), Point{});
    EXPECT_EQ(TextToPoint("7,x"), (Point{7, 0}));
    EXPECT_EQ(TextToPoint("99999999999,1"), Point{});
    EXPECT_EQ(TextToTriple("abc"), (ResolutionTriple{0, 0, 60}));
    EXPECT_EQ(TextToTriple("1,x,3"), (ResolutionTriple{1, 0, 60}));
    EXPECT_EQ(TextToTriple("99999999999,1,2"), (ResolutionTriple{0, 0, 60}));
    EXPECT_EQ(TextToTriple("1920,1080,99999999999"), (ResolutionTriple{1920, 1080, 60}));
}

TEST(TextHelpers, TriplesReadTheRateOnlyWithExactlyTwoCommas)
{
    const ResolutionTriple empty = TextToTriple("");
    EXPECT_EQ(empty, (ResolutionTriple{0, 0, 60}));
    EXPECT_TRUE(IsTripleInvalid(empty));
    EXPECT_EQ(TextToTriple("1920,1080"), (ResolutionTriple{1920, 1080, 60}));
    EXPECT_EQ(TextToTriple("1920,1080,50"), (ResolutionTriple{1920, 1080, 50}));
    EXPECT_EQ(TextToTriple("1920,1080,50,1"), (ResolutionTriple{1920, 1080, 60}));
    EXPECT_EQ(TripleToText(ResolutionTriple{3840, 2160, 30}), "3840,2160,30");

    EXPECT_FALSE(IsTripleInvalid(ResolutionTriple{1, 1, 1}));
    EXPECT_TRUE(IsTripleInvalid(ResolutionTriple{1920, 1080, 0}));
    EXPECT_TRUE(IsTripleInvalid(ResolutionTriple{1920, -1, 60}));
    EXPECT_FALSE(TriplesDiffer(ResolutionTriple{1920, 1080, 60}, ResolutionTriple{1920, 1080, 60}));
    EXPECT_TRUE(TriplesDiffer(ResolutionTriple{1920, 1080, 60}, ResolutionTriple{1920, 1080, 50}));
    EXPECT_TRUE(TriplesDiffer(ResolutionTriple{1920, 1080, 60}, ResolutionTriple{1280, 1080, 60}));
    EXPECT_TRUE(TriplesDiffer(ResolutionTriple{1920, 1080, 60}, ResolutionTriple{1920, 720, 60}));
}

TEST(TextHelpers, WideAndNarrowAreQStringAndUtf8)
{
    const std::string narrow = CStringToStd(QString::fromUtf8("确定"));
    EXPECT_EQ(narrow, std::string("\xE7\xA1\xAE\xE5\xAE\x9A"));
    EXPECT_EQ(StdToCString(narrow), QString::fromUtf8("确定"));
    EXPECT_EQ(StdToCString(narrow).size(), 2);
    EXPECT_EQ(CStringToStd(QString()), "");
    EXPECT_TRUE(StdToCString("").isEmpty());
    // Bytes that are not UTF-8 become replacement characters, never dropped.
    EXPECT_EQ(StdToCString("a\xFF"
                           "b"),
              QString("a") + QChar(0xFFFD) + "b");
}

namespace {

// Time of its own, with every sleep recorded; a sleep moves the time by half
// of what is asked, as a clock that wakes early would. No real sleeping, so
// a busy machine cannot merge two sleeps into one.
class EarlyWakingClock : public platform::SteadyClock {
public:
    platform::TimePoint Now() override { return now_; }
    void SleepFor(platform::Duration d) override
    {
        sleeps.push_back(d);
        now_ += d / 2;
    }
    std::vector<platform::Duration> sleeps;

private:
    platform::TimePoint now_{};
};

} // namespace

TEST(Delay, WaitsAtLeastTheTimeAskedEvenWhenSleepsEndEarly)
{
    EarlyWakingClock clock;
    platform::ScopedClock scope(clock);

    Delay(0);
    ASSERT_EQ(clock.sleeps.size(), 1u);
    EXPECT_EQ(clock.sleeps[0], platform::Duration::zero());

    clock.sleeps.clear();
    const auto start = clock.Now();
    Delay(50);
    EXPECT_GE(clock.Now() - start, 50ms);
    ASSERT_GE(clock.sleeps.size(), 2u);
    EXPECT_EQ(clock.sleeps[0], 50ms);
    for (size_t i = 1; i < clock.sleeps.size(); ++i) {
        EXPECT_GE(clock.sleeps[i], 1ms);
    }
}
