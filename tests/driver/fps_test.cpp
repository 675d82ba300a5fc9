#include "driver/fps.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/headless.h"

namespace {
// A clock the test drives on the headless platform: work advances it by hand, sleeps advance
// it by what was asked (unless the test keeps it still).
uint32_t now = 0;
std::vector<int> sleeps;

// Sleeps are counted; they move the clock only when `advancing`.
void Drive(bool advancing) {
    HEADLESS hooks;
    hooks.clock = [](void*) { return now; };
    hooks.sleep = advancing ? [](int milliseconds, void*) {
        sleeps.push_back(milliseconds);
        now += static_cast<uint32_t>(milliseconds) * 1000u;
    } : [](int milliseconds, void*) { sleeps.push_back(milliseconds); };
    PlatformChooseHeadless(&hooks);
}

struct Fps : ::testing::Test {
    void SetUp() override {
        FPSState = {};
        now = 0;
        sleeps.clear();
        Drive(true);
    }

    // One frame: `work` microseconds of drawing, then the tick and the wait.
    void Frame(uint32_t work) {
        now += work;
        FPSTick();
        FPSWait();
    }
};
} // namespace

TEST_F(Fps, PeriodFollowsTheTargetAndBadTargetsBecomeOne) {
    const struct {
        int target, stored, period;
    } cases[] = {{50, 50, 20000}, {25, 25, 40000}, {3, 3, 333333}, {0, 1, 1000000}, {-5, 1, 1000000}};
    for (const auto& c : cases) {
        FPSState.target = c.target;
        FPSTick();
        EXPECT_EQ(FPSState.target, c.stored) << c.target;
        EXPECT_EQ(FPSState.period, c.period) << c.target;
    }
}

TEST_F(Fps, FrameCounterCountsTicksWhateverTheirLength) {
    FPSState.target = 50;
    for (uint32_t work : {0u, 1u, 20000u, 5000000u, 7u}) {
        const int before = FPSState.frames;
        Frame(work);
        EXPECT_EQ(FPSState.frames, before + 1);
    }
}

TEST_F(Fps, FirstFrameMeasuresFromTimeZeroAndDoesNotSleep) {
    FPSState.target = 50;
    now = 3000000; // SDL has been up for three seconds
    FPSTick();
    EXPECT_EQ(FPSState.elapsed, 3000000);
    FPSWait();
    EXPECT_EQ(FPSState.budget, 0);
    EXPECT_TRUE(sleeps.empty());
}

TEST_F(Fps, SteadyEightMillisecondFramesSettleNearTwenty) {
    FPSState.target = 50;
    for (int i = 0; i < 200; ++i) Frame(8000);
    // From now on every frame, work plus sleep, lasts about the period.
    for (int i = 0; i < 50; ++i) {
        Frame(8000);
        EXPECT_NEAR(FPSState.elapsed, 20000, 1000) << i;
    }
    EXPECT_NEAR(sleeps.back(), 12, 1);
}

TEST_F(Fps, OneSlowFrameLowersTheBudgetButNeverBelowZero) {
    FPSState.target = 50;
    FPSTick(); // the first tick starts the clock at 0
    FPSState.budget = 45000;
    FPSState.previous = 0;
    now = 50000;
    FPSTick();
    Drive(false); // keep the clock still while the budget is read
    FPSWait();
    EXPECT_EQ(FPSState.budget, 15000); // lowered by 50000 - 20000
    now += 50000;
    FPSTick();
    FPSWait();
    EXPECT_EQ(FPSState.budget, 0); // another 30000 would go below zero
    now += 5000;
    FPSTick();
    FPSWait();
    EXPECT_EQ(FPSState.budget, 15000); // a fast frame raises it by its shortfall
}

TEST_F(Fps, BudgetBelowOneMillisecondSleepsZero) {
    FPSState.target = 50;
    FPSTick();
    now += 19500; // 500 microseconds short of the period
    FPSTick();
    FPSWait();
    ASSERT_EQ(sleeps.size(), 1u);
    EXPECT_EQ(sleeps[0], 0);
}

TEST_F(Fps, MeasuredRateCountsTicksOfTheLastFullSecond) {
    Drive(false); // ticks exactly where the test puts them
    FPSState.target = 50;
    FPSTick(); // at time 0
    for (int i = 0; i < 49; ++i) {
        now += 20000;
        EXPECT_EQ(FPSTick(), 0) << "no window has closed yet";
    }
    now += 20000;
    EXPECT_EQ(FPSTick(), 50);
    for (int i = 0; i < 100; ++i) {
        now += 20000;
        EXPECT_EQ(FPSTick(), 50);
    }
    for (int i = 0; i < 100; ++i) {
        now += 40000;
        FPSTick();
    }
    EXPECT_EQ(FPSState.measured, 25);
}

TEST_F(Fps, ElapsedStaysRightAcrossTheClockWrap) {
    Drive(false);
    FPSState.target = 50;
    now = 0xFFFFFFFFu - 9999u; // 10000 microseconds before the 32-bit wrap
    FPSTick();
    now += 20000; // wraps past zero
    FPSTick();
    EXPECT_EQ(FPSState.elapsed, 20000);
}

TEST_F(Fps, ATimeOfHalfAnHourClosesTheWindowInsteadOfWrappingIt) {
    Drive(false);
    FPSState.target = 50;
    FPSTick();
    now += 0x7FFFFFF0u; // a suspended process: one frame of some 35 minutes
    FPSTick();
    EXPECT_EQ(FPSState.windowFrames, 1);
    EXPECT_EQ(FPSState.windowTime, 0);
    now += 20000;
    FPSTick();
    EXPECT_EQ(FPSState.windowTime, 20000);
}

TEST_F(Fps, ClockStepsNeitherFreezeNorRushThePacing) {
    FPSState.target = 50;
    // Steady frames, then the wall clock steps back ten seconds, then ahead 3000 seconds (the
    // microsecond clock wraps); a long suspension looks the same.
    for (int64_t step : {-10000000ll, 3000000000ll, 3600000000ll}) {
        for (int i = 0; i < 100; ++i) Frame(8000);
        const int32_t settled = FPSState.budget;
        now += uint32_t(step);
        sleeps.clear();
        for (int i = 0; i < 20; ++i) Frame(8000);
        for (int ms : sleeps) EXPECT_LE(ms, 40) << "a sleep of " << ms << " ms after a step of " << step;
        EXPECT_NEAR(FPSState.budget, settled, 1000) << step;
        EXPECT_NEAR(FPSState.elapsed, 20000, 1000) << step;
    }
}
