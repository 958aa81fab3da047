// The pace of an automatic run and the time it still needs.

#include "data/run_pace.h"

#include <gtest/gtest.h>

namespace vqs {
namespace {

TEST(RunPace, KnowsNothingBeforeTheProbeShowedItsPace) {
    RunPace pace;
    pace.start(0);
    EXPECT_FALSE(pace.remainingMs(10, 50));
    pace.reading(100);
    EXPECT_FALSE(pace.remainingMs(10, 150)) << "one reading is no interval";
    EXPECT_EQ(pace.remainingMs(0, 150), 0) << "nothing left is known without a pace";
}

TEST(RunPace, BeforeTwoStepsTheReadingIntervalTellsTheStep) {
    const struct {
        int64_t readingMs;
        int64_t stepMs;
    } cases[] = {
        {100, 500},   // a reading every tick: the countdown's five ticks set the pace
        {300, 600},   // the second reading after the last step moves it
        {500, 500},
        {5000, 5000},  // a slow spectroradiometer moves it on every reading
    };
    for (const auto& c : cases) {
        RunPace pace;
        pace.start(0);
        pace.reading(1000);
        pace.reading(1000 + c.readingMs);
        EXPECT_EQ(pace.stepMs(), c.stepMs) << c.readingMs;
    }
}

TEST(RunPace, StepsSeenSetThePaceAndAnOverdueStepLeavesTheOthers) {
    RunPace pace;
    pace.start(0);
    pace.step(300);  // the first step may come early: it tells nothing
    for (int64_t at = 1300; at <= 5300; at += 1000) pace.step(at);
    EXPECT_EQ(pace.stepMs(), 1000);
    EXPECT_EQ(pace.remainingMs(6, 5300), 6000);
    EXPECT_EQ(pace.remainingMs(6, 5700), 5600);
    EXPECT_EQ(pace.remainingMs(6, 9000), 5000) << "an overdue step: the other five remain";
    EXPECT_EQ(pace.elapsedMs(9000), 9000);
}

TEST(RunPace, FollowsAProbeThatSlowsDown) {
    RunPace pace;
    pace.start(0);
    int64_t at = 0;
    for (int i = 0; i < 30; ++i) pace.step(at += 500);
    for (int i = 0; i < 12; ++i) pace.step(at += 2000);  // the dark patches
    EXPECT_EQ(pace.stepMs(), 2000);
}

TEST(RunPace, ANewRunKeepsTheProbesReadingIntervalButNotItsSteps) {
    RunPace pace;
    pace.start(0);
    pace.reading(0);
    pace.reading(700);
    pace.step(1000);
    pace.step(3000);
    pace.start(10000);
    EXPECT_EQ(pace.stepMs(), 700);
}

TEST(RunPace, AWaitForASilentProbeIsNoPartOfThePace) {
    RunPace pace;
    pace.start(0);
    int64_t at = 0;
    for (int i = 0; i < 6; ++i) {
        pace.reading(at);
        pace.step(at += 1000);
    }
    // The probe falls silent for 45 s; the run waits and says so on every tick.
    for (int64_t wait = at + 2000; wait <= at + 45000; wait += 100) pace.holdUp(wait);
    EXPECT_EQ(pace.remainingMs(10, at + 45000), 10000) << "the time left stands still";
    at += 45000;
    for (int i = 0; i < 3; ++i) {
        pace.reading(at);
        pace.step(at += 1000);
    }
    EXPECT_EQ(pace.stepMs(), 1000);
    EXPECT_EQ(pace.remainingMs(150, at), 150000);
}

}  // namespace
}  // namespace vqs
