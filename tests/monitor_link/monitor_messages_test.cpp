// The messages to the monitors, byte for byte: numbers as printf writes them in the "C" locale,
// texts narrowed, every message within 251 bytes; and the order and pauses of a save.

#include "monitor_link/monitor_messages.h"
#include "monitor_link/downstream_save.h"
#include "tests/platform/comma_locale.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <cfloat>
#include <functional>

namespace vqs {
namespace {

struct MessageCase {
    const char* what;
    std::function<QByteArray()> make;
    QByteArray bytes;
};

const MessageCase kMessages[] = {
    {"reading pads each number to seven characters",
     [] { return readingMessage(1.5f, 100.0f, 98.25f); }, "VQS_XYZ=  1.500 100.000  98.250\r\n"},
    {"reading keeps longer numbers whole and the sign of a tiny negative",
     [] { return readingMessage(-0.0004f, 12345.678f, 0.0f); },
     "VQS_XYZ= -0.000 12345.678   0.000\r\n"},
    {"reading rounds an exact half to even", [] { return readingMessage(0.0625f, 2.0625f, 1.0f); },
     "VQS_XYZ=  0.062   2.062   1.000\r\n"},
    {"date", [] { return dateMessage("10.12.2026"); }, "VQS_DATE=10.12.2026\r\n"},
    {"pattern", [] { return patternMessage(1, 255, 0, 0, "Red"); }, "VQS_SIM=1 255 0 0 Red\r\n"},
    {"pattern off ends in a space before the line end",
     [] { return patternMessage(kPatternOff, 255, 255, 255, {}); }, "VQS_SIM=0 255 255 255 \r\n"},
    {"pattern name narrowed: control characters dropped, Latin-1 kept as its byte",
     [] { return patternMessage(1, 16, 16, 16, QStringLiteral("R\u00e9gie\t1\r\n")); },
     "VQS_SIM=1 16 16 16 R\xE9gie1\r\n"},
    {"save date", [] { return saveDateMessage("10.12.2026"); }, "VQS_REPDATE=10.12.2026\r\n"},
    {"save gamma", [] { return saveGammaMessage("2.35"); }, "VQS_REPGAMMA=2.35\r\n"},
    {"save result with six decimals of the float's own value",
     [] {
         return saveResultMessage("VQS_RED", {41.2f, 21.26f, 1.93f});
     },
     "VQS_RED=41.200001 21.260000 1.930000\r\n"},
    {"save result of a tiny negative",
     [] {
         return saveResultMessage("VQS_GRY0", {-0.0000004f, 0.0f, 0.1f});
     },
     "VQS_GRY0=-0.000000 0.000000 0.100000\r\n"},
    {"report query", [] { return kReportQuery; }, "VQS_?\r\n"},
    {"save end", [] { return kSaveEnd; }, "SAVE?\r\n"},
};

class MonitorMessage : public testing::TestWithParam<MessageCase> {};

TEST_P(MonitorMessage, hasExactlyTheseBytes) {
    EXPECT_EQ(GetParam().make(), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(All, MonitorMessage, testing::ValuesIn(kMessages), test::CaseName{});

// A German user's settings give the C library and Qt a decimal comma; the messages keep the
// full stop the monitors read.
TEST(MonitorMessageLocale, numbersKeepTheFullStopUnderACommaLocale) {
    const test::CommaNumberLocale comma;
    if (!comma.active()) GTEST_SKIP() << "no number locale with a decimal comma here";
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(readingMessage(1.5f, 100.0f, 98.25f), "VQS_XYZ=  1.500 100.000  98.250\r\n");
    EXPECT_EQ(saveResultMessage("VQS_RED", {41.2f, 21.26f, 1.93f}),
              "VQS_RED=41.200001 21.260000 1.930000\r\n");
    EXPECT_EQ(patternMessage(1, 1000, -1, 0, "x"), "VQS_SIM=1 1000 -1 0 x\r\n");
    QLocale::setDefault(previous);
}

struct LengthCase {
    const char* what;
    std::function<QByteArray(const QString&)> make;
    qsizetype headBytes;  // before the text
};

const LengthCase kTexts[] = {
    {"date", [](const QString& t) { return dateMessage(t); }, 9},
    {"pattern name", [](const QString& t) { return patternMessage(1, 255, 255, 255, t); }, 22},
    {"save date", [](const QString& t) { return saveDateMessage(t); }, 12},
    {"save gamma", [](const QString& t) { return saveGammaMessage(t); }, 13},
};

class MessageLength : public testing::TestWithParam<LengthCase> {};

// A text that fits is sent whole; a longer one loses its end, never the line end.
TEST_P(MessageLength, textIsCutSoTheMessageHoldsAtMost251Bytes) {
    const LengthCase& c = GetParam();
    const qsizetype room = kMaxMessageBytes - c.headBytes - 2;
    for (const qsizetype length : {room - 1, room, room + 1, qsizetype{5000}}) {
        const QByteArray message = c.make(QString(length, QLatin1Char('x')));
        EXPECT_EQ(message.size(), c.headBytes + std::min(length, room) + 2) << length;
        EXPECT_TRUE(message.endsWith("x\r\n")) << length;
    }
    // Characters beyond Latin-1 narrow to five bytes each; the cut counts bytes.
    const QByteArray wide = c.make(QString(100, QChar(0x4E00)));
    EXPECT_EQ(wide.size(), kMaxMessageBytes);
    EXPECT_TRUE(wide.endsWith("\r\n"));
    EXPECT_EQ(wide.count('\0'), 0);
}

INSTANTIATE_TEST_SUITE_P(All, MessageLength, testing::ValuesIn(kTexts), test::CaseName{});

TEST(MessageLength, widestFloatsFitEveryNumberMessage) {
    const QByteArray reading = readingMessage(-FLT_MAX, FLT_MAX, -FLT_MAX);
    EXPECT_LE(reading.size(), kMaxMessageBytes);
    EXPECT_TRUE(reading.startsWith("VQS_XYZ=-340282346638528859811704183484516925440.000 "));
    EXPECT_LE(saveResultMessage("VQS_DICOM20", {-FLT_MAX, -FLT_MAX, -FLT_MAX}).size(),
              kMaxMessageBytes);
}

// What one save sends a monitor, in order, and where it pauses.
class SaveScheduleTest : public testing::Test {
protected:
    SaveScheduleTest() {
        report_.repdate = "10.12.2026";
        report_.repgamma = "2.4";
        for (int slot = 0; slot < kPatchSlots; ++slot)
            report_.xyz[slot] = {slot + 0.5f, slot * 2.0f, 0.25f};
    }

    PatchCatalogue targets_ = makePatchCatalogue();
    Tcaldaten report_;
};

TEST_F(SaveScheduleTest, fullSaveIsDateGammaSixtyResultsEachFollowedByAPauseThenSave) {
    const auto steps = saveSchedule(report_, targets_, kLastSlot);
    ASSERT_EQ(steps.size(), 63u);
    EXPECT_EQ(steps[0].message, "VQS_REPDATE=10.12.2026\r\n");
    EXPECT_EQ(steps[1].message, "VQS_REPGAMMA=2.4\r\n");
    EXPECT_FALSE(steps[0].pauseAfter || steps[1].pauseAfter);
    std::size_t i = 2;
    for (int slot = 1; slot <= kLastSlot; ++slot) {
        if (slot == kStopSlot) continue;
        ASSERT_LT(i, steps.size());
        EXPECT_EQ(steps[i].message, saveResultMessage(targets_[slot].key, report_.xyz[slot]));
        EXPECT_TRUE(steps[i].pauseAfter) << slot;
        ++i;
    }
    EXPECT_EQ(steps[2].message, "VQS_RED=1.500000 2.000000 0.250000\r\n");
    EXPECT_EQ(steps[61].message, "VQS_DICOM0=61.500000 122.000000 0.250000\r\n");
    EXPECT_EQ(steps.back().message, kSaveEnd);
    EXPECT_FALSE(steps.back().pauseAfter);
}

TEST_F(SaveScheduleTest, saveOverTheSaveConnectionStopsAfterTheEbuColours) {
    const auto steps = saveSchedule(report_, targets_, kLastSlotOverSaveConnection);
    ASSERT_EQ(steps.size(), 42u);
    EXPECT_TRUE(steps[40].message.startsWith("VQS_EBU15="));
    EXPECT_EQ(steps[41].message, kSaveEnd);
    for (const SaveStep& s : steps) EXPECT_FALSE(s.message.startsWith("VQS_DICOM"));
}

}  // namespace
}  // namespace vqs
