// The words of a run's progress, from its start to its end or cancel.

#include "capture/run_progress.h"

#include <gtest/gtest.h>

namespace vqs {
namespace {

TEST(MinutesAndSeconds, ReadsAsAClockDoes) {
    const struct {
        int64_t ms;
        const char* text;
    } cases[] = {{0, "0:00"},       {999, "0:00"},          {42000, "0:42"},     {65000, "1:05"},
                 {725000, "12:05"}, {3723000, "1:02:03"}, {-5000, "0:00"}};
    for (const auto& c : cases) EXPECT_EQ(minutesAndSeconds(c.ms), c.text) << c.ms;
}

// Capture DICOM over slots 41..61 with a reading every 500 ms and three steps a patch.
class DicomRun : public testing::Test {
protected:
    DicomRun() { progress.start("Capture DICOM", 41, 61, 3, 0); }

    void stepsAt(std::initializer_list<int64_t> times) {
        for (int64_t at : times) {
            progress.reading(at);
            progress.step(at);
        }
    }

    RunProgress progress;
};

TEST_F(DicomRun, SaysWhereItIsAndEstimatesOnceThePaceIsKnown) {
    EXPECT_EQ(progress.runningText(41, "DICOM20", 3, 400),
              "Capture DICOM: 1 of 21, DICOM20  \u00b7  0:00 elapsed  \u00b7  estimating the "
              "time left");
    stepsAt({1000, 1500, 2000});
    progress.captured(3);
    // At slot 51 with all three steps to go: 11 patches of 3 steps of 500 ms.
    EXPECT_EQ(progress.remainingMs(51, 3, 2000), 16500);
    EXPECT_EQ(progress.runningText(51, "DICOM10", 3, 62000),
              "Capture DICOM: 11 of 21, DICOM10  \u00b7  1:02 elapsed  \u00b7  about 0:16 left");
    EXPECT_EQ(progress.remainingMs(61, 0, 2000), 0);
}

TEST_F(DicomRun, AMonitorsSlowerPatchesCountOnceSeen) {
    stepsAt({1000, 1500, 2000});
    progress.captured(4);  // the monitor shows the next patch a step later
    EXPECT_EQ(progress.remainingMs(42, 4, 2000), 20 * 4 * 500);
}

TEST_F(DicomRun, TellsHowItEnded) {
    EXPECT_TRUE(progress.running());
    for (int i = 0; i < 21; ++i) progress.captured(3);
    progress.finish(125000);
    EXPECT_FALSE(progress.running());
    EXPECT_EQ(progress.outcomeText(), "Capture DICOM finished: 21 patches captured in 2:05");
    progress.cancel(130000);
    EXPECT_EQ(progress.outcomeText(), "Capture DICOM finished: 21 patches captured in 2:05")
        << "a run ends once";
    progress.dismiss();
    EXPECT_FALSE(progress.hasOutcome());
    EXPECT_EQ(progress.outcomeText(), "");
}

TEST_F(DicomRun, TellsACancelWithWhatItCaptured) {
    for (int i = 0; i < 12; ++i) progress.captured(3);
    progress.cancel(42000);
    EXPECT_EQ(progress.outcomeText(), "Capture DICOM cancelled: 12 of 21 patches captured in 0:42");
}

TEST_F(DicomRun, SaysWhyItStandsStill) {
    EXPECT_EQ(progress.waitingText("Probe 1 silent for 12 s", 45, "DICOM16"),
              "Probe 1 silent for 12 s: Capture DICOM waits at 5 of 21, DICOM16");
}

}  // namespace
}  // namespace vqs
