// The QSP720 calibration file: its entries read strictly in order, the curve it sets, and files
// that are missing, odd or hostile.

#include "probes/qsp720_cal_file.h"
#include "probes/qsp720_device_memory.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <string>

namespace vqs {
namespace {

// 2048 pixels from 400 nm in steps of 0.25 nm (400 .. 911.75 nm).
Tsmlist spectrometer() {
    Tsmlist probe;
    probe.type = kProbeQsp720;
    setPixelWavelengths(probe, {0.5, 0.0, 400.0});
    probe.calCurve.fill(1.0f);
    return probe;
}

Tsmlist applied(const std::string& text) {
    Tsmlist probe = spectrometer();
    applyCalFileText(text, probe);
    return probe;
}

TEST(Qsp720CalFile, FactorAndTimesWithoutACurveLeaveTheCurveAlone) {
    const Tsmlist probe = applied(
        "RADCALCOR = 2.5\nINTEGRATIONTIME = 40\nINTEGRATIONTIME = 80\nINTEGRATIONTIME = 160\n"
        "INTEGRATIONTIME = 1920\nINTEGRATIONTIME = 5\nENDCALFILE\nRADCALCOR = 9\n");
    EXPECT_FLOAT_EQ(probe.radCalCor, 2.5f) << "nothing after ENDCALFILE counts";
    EXPECT_EQ(probe.integrationTime, (std::array<int32_t, 4>{40, 80, 160, 1920}))
        << "the fifth time is ignored";
    for (const float c : probe.calCurve) ASSERT_EQ(c, 1.0f);
}

TEST(Qsp720CalFile, TimesAreTruncatedAndImpossibleOnesIgnored) {
    const Tsmlist probe = applied(
        "INTEGRATIONTIME = 40.9 INTEGRATIONTIME = 0 INTEGRATIONTIME = -5 INTEGRATIONTIME =1e12");
    EXPECT_EQ(probe.integrationTime, (std::array<int32_t, 4>{40, 100, 200, 2400}));
}

TEST(Qsp720CalFile, RadCalDataSetsTheCurvePixelByPixel) {
    std::string text = "RADCALDATA = 1000\n";
    for (int i = 0; i < 1000; ++i) text += std::to_string(i) + " ";
    Tsmlist probe = applied(text);  // the list ends at the end of the file
    EXPECT_EQ(probe.calCurve[0], 0.0f);
    EXPECT_EQ(probe.calCurve[999], 999.0f);
    EXPECT_EQ(probe.calCurve[1000], 1.0f) << "pixels beyond the list stay as they were";

    probe = applied("RADCALDATA 0.5 0.25 RADCALDATA 7 7 7");
    EXPECT_EQ(probe.calCurve[0], 0.5f) << "without '=', and only the first list counts";
    EXPECT_EQ(probe.calCurve[2], 1.0f);
}

TEST(Qsp720CalFile, LegalRadCalInterpolatesAndNormalises) {
    // Ends at the end of the file: exactly the two pairs present.
    const Tsmlist probe = applied("LEGALRADCAL = 2\n400 1.0\n911.75 4.0");
    EXPECT_FLOAT_EQ(probe.calCurve[0], 0.25f);
    EXPECT_FLOAT_EQ(probe.calCurve[2047], 1.0f);
    EXPECT_NEAR(probe.calCurve[1024], (1.0 + 3.0 * 256.0 / 511.75) / 4.0, 1e-6);
}

TEST(Qsp720CalFile, LegalRadCalHoldsItsEndValuesOutsideItsWavelengths) {
    const Tsmlist probe = applied("LEGALRADCAL 500 2 600 1 ENDCALFILE");
    EXPECT_FLOAT_EQ(probe.calCurve[0], 1.0f);     // 400 nm: the first value, normalised
    EXPECT_FLOAT_EQ(probe.calCurve[2047], 0.5f);  // 911 nm: the last
}

TEST(Qsp720CalFile, RefRadCalDividesTheReferenceByTheMeasuredCurve) {
    std::string text = "RADCALDATA";
    for (int i = 0; i < 2048; ++i) text += i == 5 ? " 0" : " 2";
    text += "\nREFWAVES 400 1000\nREFRADCAL 1 1\n";
    const Tsmlist probe = applied(text);
    EXPECT_FLOAT_EQ(probe.calCurve[0], 1.0f);  // (1 / 1) / (2 / 2)
    EXPECT_EQ(probe.calCurve[5], 0.0f) << "a pixel the curve says nothing about";
}

TEST(Qsp720CalFile, AMalformedNumberEndsTheListNotTheFile) {
    const Tsmlist probe = applied("RADCALDATA 3 4 x5 6 RADCALCOR = 1.5");
    EXPECT_EQ(probe.calCurve[1], 4.0f);
    EXPECT_EQ(probe.calCurve[2], 1.0f);
    EXPECT_FLOAT_EQ(probe.radCalCor, 1.5f);
}

TEST(Qsp720CalFile, AListEndsAfter2048Numbers) {
    std::string text = "RADCALDATA";
    for (int i = 0; i < 2100; ++i) text += " 3";
    text += " RADCALCOR = 2";
    const Tsmlist probe = applied(text);
    EXPECT_EQ(probe.calCurve[2047], 3.0f);
    EXPECT_FLOAT_EQ(probe.radCalCor, 2.0f);
}

TEST(Qsp720CalFile, CurvesWithoutAPositiveMaximumStayFinite) {
    for (const char* text :
         {"LEGALRADCAL 400 0 900 0", "LEGALRADCAL 400 -1 900 -2", "LEGALRADCAL 500 1 500 3",
          "RADCALDATA 0 0 REFWAVES 400 REFRADCAL 0", "LEGALRADCAL", "REFRADCAL",
          "LEGALRADCAL 400 3e38 401 -3e38", "RADCALDATA 1e-45 REFRADCAL 3e38"}) {
        const Tsmlist probe = applied(text);
        for (const float c : probe.calCurve) ASSERT_TRUE(std::isfinite(c)) << text;
    }
    EXPECT_EQ(applied("LEGALRADCAL 400 0 900 0").calCurve[100], 0.0f);
    EXPECT_EQ(applied("LEGALRADCAL").calCurve[100], 1.0f) << "an empty list changes nothing";
}

TEST(Qsp720CalFile, UnreadableFilesShowNoCalFileAndKeepTheCurve) {
    QTemporaryDir dir;
    Tsmlist probe = spectrometer();
    probe.radCalCor = 7.0f;
    probe.calCurve[3] = 0.5f;
    probe.integrationTime = {1, 2, 3, 4};
    for (const QString& path : {QString(), dir.filePath("missing.cal"), dir.path()}) {
        probe.calFilePath = path;
        EXPECT_FALSE(readCalFile(probe));
        EXPECT_EQ(probe.calStatus, "NO CAL FILE");
        EXPECT_EQ(probe.calStatusColour, 0x0000FF);
        EXPECT_FLOAT_EQ(probe.radCalCor, 7.0f);
        EXPECT_EQ(probe.calCurve[3], 0.5f);
        EXPECT_EQ(probe.integrationTime, (std::array<int32_t, 4>{50, 100, 200, 2400}));
    }
}

TEST(Qsp720CalFile, AReadableFileShowsItsPathInWhite) {
    QTemporaryDir dir;
    QFile file(dir.filePath("probe.cal"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("RADCALCOR = 1.25\r\nINTEGRATIONTIME = 30\r\nENDCALFILE\r\n");
    file.close();
    Tsmlist probe = spectrometer();
    probe.calFilePath = "\"" + file.fileName() + "\"\n";  // quotes and line ends are dropped
    EXPECT_TRUE(readCalFile(probe));
    EXPECT_EQ(probe.calStatus, probe.calFilePath);
    EXPECT_EQ(probe.calStatusColour, 0xFFFFFF);
    EXPECT_FLOAT_EQ(probe.radCalCor, 1.25f);
    EXPECT_EQ(probe.integrationTime, (std::array<int32_t, 4>{30, 100, 200, 2400}));
}

// A file is read whole or not at all: the factor at its end reaches the probe, or the file is
// refused with the limit in its status and nothing of it is used.
struct SizeCase {
    const char* what;
    qsizetype bytes;
    bool read;
};

class Qsp720CalFileSize : public testing::TestWithParam<SizeCase> {};

TEST_P(Qsp720CalFileSize, IsReadWholeOrRefused) {
    const SizeCase& c = GetParam();
    QTemporaryDir dir;
    QFile file(dir.filePath("large.cal"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray head = "RADCALCOR = 2\n";
    const QByteArray tail = "\nRADCALCOR = 4\n";
    file.write(head + QByteArray(c.bytes - head.size() - tail.size(), ' ') + tail);
    file.close();
    ASSERT_EQ(file.size(), c.bytes);
    Tsmlist probe = spectrometer();
    probe.calFilePath = file.fileName();
    EXPECT_EQ(readCalFile(probe), c.read);
    EXPECT_FLOAT_EQ(probe.radCalCor, c.read ? 4.0f : 1.0f);
    EXPECT_EQ(probe.calStatus, c.read ? file.fileName() : kCalFileTooLargeStatus + file.fileName());
    EXPECT_EQ(probe.calStatusColour, c.read ? kCalStatusWhite : kCalStatusRed);
}

INSTANTIATE_TEST_SUITE_P(
    Qsp720, Qsp720CalFileSize,
    testing::Values(SizeCase{"exactly the limit", kQsp720CalFileMaxBytes, true},
                    SizeCase{"one byte over", kQsp720CalFileMaxBytes + 1, false}),
    test::CaseName{});

}  // namespace
}  // namespace vqs
