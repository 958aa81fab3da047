// The CS-200's replies read as bytes: the success mark, the serial number of an identification,
// X, Y, Z in fields 10 to 12 of a measurement, and the speed-mode commands.

#include "probes/cs200_replies.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace vqs {
namespace {

struct MeasurementCase {
    const char* what;
    QByteArray reply;
    std::optional<std::array<float, 3>> xyz;
};

class Cs200Measurement : public testing::TestWithParam<MeasurementCase> {};

TEST_P(Cs200Measurement, IsReadFromFieldsTenToTwelveOnlyWhenComplete) {
    const MeasurementCase& c = GetParam();
    const std::optional<Cs200Xyz> xyz = parseCs200Measurement(c.reply);
    ASSERT_EQ(xyz.has_value(), c.xyz.has_value());
    if (!xyz) return;
    EXPECT_FLOAT_EQ(xyz->X, (*c.xyz)[0]);
    EXPECT_FLOAT_EQ(xyz->Y, (*c.xyz)[1]);
    EXPECT_FLOAT_EQ(xyz->Z, (*c.xyz)[2]);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, Cs200Measurement,
    testing::Values(
        MeasurementCase{"complete", "OK00,3,1,2,0,0,2,4,0,95.0430,100.0000,108.8830",
                        std::array<float, 3>{95.043f, 100.0f, 108.883f}},
        MeasurementCase{"more fields than twelve", "OK00,3,1,2,0,0,2,4,0,1.5,2.5,3.5,9,9",
                        std::array<float, 3>{1.5f, 2.5f, 3.5f}},
        MeasurementCase{"status with suffix and line end", "OK00x,3,1,2,0,0,2,4,0,1,2,3\r\n",
                        std::array<float, 3>{1.0f, 2.0f, 3.0f}},
        MeasurementCase{"blanks beside commas", "OK00, 3, 1, 2, 0, 0, 2, 4, 0, 1e1, 2, 3",
                        std::array<float, 3>{10.0f, 2.0f, 3.0f}},
        MeasurementCase{"not finished", "ER10,3,1,2,0,0,2,4,0,1,2,3", std::nullopt},
        MeasurementCase{"eleven fields", "OK00,3,1,2,0,0,2,4,0,1,2", std::nullopt},
        MeasurementCase{"empty", "", std::nullopt},
        MeasurementCase{"ends at a zero byte", QByteArray("OK00,3,1,2,0,0,2,4,0,1,2\0,3", 28),
                        std::nullopt},
        MeasurementCase{"value not a number", "OK00,3,1,2,0,0,2,4,0,1,2x,3", std::nullopt},
        MeasurementCase{"value not finite", "OK00,3,1,2,0,0,2,4,0,1,nan,3", std::nullopt},
        MeasurementCase{"value too large for a float", "OK00,3,1,2,0,0,2,4,0,1,1e60,3",
                        std::nullopt}),
    test::CaseName{});

TEST(Cs200Replies, TheSerialNumberIsTheFourthTokenOfASuccessfulIdentification) {
    EXPECT_EQ(cs200SerialNumber("OK00,CS-200,1.10,SIM20001"), QByteArray("SIM20001"));
    EXPECT_EQ(cs200SerialNumber("OK00 CS-200,,1.10,\t12345678\r\n"), QByteArray("12345678"));
    EXPECT_EQ(cs200SerialNumber("ER00,CS-200,1.10,SIM20001"), std::nullopt);
    EXPECT_EQ(cs200SerialNumber("OK00,CS-200,1.10"), std::nullopt);
    EXPECT_TRUE(isCs200Ok("OK00"));
    EXPECT_FALSE(isCs200Ok(" OK0"));
    EXPECT_FALSE(isCs200Ok(QByteArray("\0OK00", 5)));
}

TEST(Cs200Replies, EachRangeHasItsTenByteSpeedMode) {
    const QByteArray expected[] = {"SPS,6, 0\r\n", "SPS,5, 1\r\n", "SPS,5, 2\r\n",
                                   "SPS,5, 4\r\n", "SPS,5,10\r\n"};
    for (int range = 0; range < 5; ++range) {
        EXPECT_EQ(cs200SpeedCommand(range), expected[range]);
        EXPECT_EQ(cs200SpeedCommand(range).size(), 10);
    }
    EXPECT_TRUE(cs200SpeedCommand(-1).isEmpty());
    EXPECT_TRUE(cs200SpeedCommand(5).isEmpty());
}

// A reply gathered from what each read wrote into a buffer filled with the unwritten filler:
// the bytes of a piece, with the zero byte where the library wrote one.
struct PiecesCase {
    const char* what;
    bool endsLines;  // the instrument was seen to end its replies with line ends
    std::vector<QByteArray> reads;
    std::optional<QByteArray> reply;
};

class Cs200Pieces : public testing::TestWithParam<PiecesCase> {};

TEST_P(Cs200Pieces, MakeOneReplyUpToItsEnd) {
    const PiecesCase& c = GetParam();
    Cs200ReplyReader reader(c.endsLines);
    std::optional<QByteArray> reply;
    for (const QByteArray& read : c.reads) {
        ASSERT_FALSE(reply) << "a reply before its last piece";
        QByteArray buffer(250, kCs200Unwritten);
        buffer.replace(0, read.size(), read);
        reply = reader.add(buffer);
    }
    EXPECT_EQ(reply, c.reply);
}

using Bytes = std::vector<QByteArray>;
QByteArray zeroEnded(const char* text) {
    return QByteArray(text) + '\0';
}

INSTANTIATE_TEST_SUITE_P(
    Replies, Cs200Pieces,
    testing::Values(
        PiecesCase{"whole in one read", false, Bytes{zeroEnded("OK00,12")}, "OK00,12"},
        PiecesCase{"pieces without zero bytes", false,
                   Bytes{"OK00,3,0,1,0,0,2,12,0,95", zeroEnded(".1,100.0,108.9")},
                   "OK00,3,0,1,0,0,2,12,0,95.1,100.0,108.9"},
        PiecesCase{"zero-ended pieces of a line", true,
                   Bytes{zeroEnded("OK00,3,0,1"), zeroEnded(",2,3\r\n")}, "OK00,3,0,1,2,3"},
        PiecesCase{"a line end is learnt", false, Bytes{zeroEnded("OK00\r\n")}, "OK00"},
        PiecesCase{"the rest of a broken line", true,
                   Bytes{zeroEnded("0000,108.9\r\n"), zeroEnded("OK00,5\r\n")}, "OK00,5"},
        PiecesCase{"the rest of a broken reply", false,
                   Bytes{zeroEnded(".1,100.0,108.9"), zeroEnded("OK00,5")}, "OK00,5"},
        PiecesCase{"a rest and a reply in one read", true, Bytes{zeroEnded("9\r\nOK00,5\r\n")},
                   "OK00,5"},
        PiecesCase{"the line end in the next read", true, Bytes{"ER10", zeroEnded("\r\n")}, "ER10"},
        PiecesCase{"nothing said yet", false, Bytes{zeroEnded(""), zeroEnded("")}, std::nullopt},
        PiecesCase{"a line without its end", true, Bytes{zeroEnded("OK00,3,0")}, std::nullopt}),
    test::CaseName{});

}  // namespace
}  // namespace vqs
