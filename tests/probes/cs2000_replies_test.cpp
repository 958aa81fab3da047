#include "probes/cs2000_replies.h"
#include "tests/support/case_name.h"
#include "tests/support/qt_print.h"

#include <gtest/gtest.h>

#include <vector>

namespace vqs {
namespace {

std::vector<uint8_t> bytes(const QByteArray& text) { return {text.begin(), text.end()}; }

TEST(CsReplies, TokenisingBlanksSeparatorsAndControlBytesStopsAtZero) {
    auto buffer = bytes(QByteArray("OK00,CS_2000\r\n\0A,B", 19));
    tokeniseReply(buffer, static_cast<int>(buffer.size()));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(buffer.data()), 19),
              QByteArray("OK00 CS 2000  \0A,B", 19));
}

TEST(CsReplies, IdentificationTakesTheFourthTokenOrTheThird) {
    auto four = bytes("OK00 CS-2000 0 010001234\r");
    Identification id = parseIdentification(four);
    EXPECT_TRUE(id.ok);
    EXPECT_EQ(id.model, "CS-2000");
    EXPECT_EQ(id.serial, "010001234");

    auto three = bytes("OK00 CS-2000A 1234567890\r");
    id = parseIdentification(three);
    EXPECT_EQ(id.serial, "1234567890");

    auto refused = bytes("ER02 CS-2000 0 010001234\r");
    EXPECT_FALSE(parseIdentification(refused).ok);
}

struct BlockCase {
    const char* what;
    const char* reply;
    int expected;
    int values;  // how many are read
};

class SpectralBlock : public testing::TestWithParam<BlockCase> {};

TEST_P(SpectralBlock, ReadsValuesAfterOk) {
    const BlockCase& c = GetParam();
    auto buffer = bytes(c.reply);
    tokeniseReply(buffer, static_cast<int>(buffer.size()));
    EXPECT_EQ(parseSpectralBlock(buffer, static_cast<int>(buffer.size()), c.expected).size(),
              c.values);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpectralBlock,
    testing::Values(BlockCase{"complete", "OK00,1.5e-03,2,3\r\n", 3, 3},
                    BlockCase{"stops at the count", "OK00,1,2,3,4\r\n", 3, 3},
                    BlockCase{"short", "OK00,1,2\r\n", 3, 2},
                    BlockCase{"no OK", "ER00,1,2,3\r\n", 3, 0},
                    BlockCase{"garbage ends the block", "OK00,1,#?,3\r\n", 3, 1},
                    BlockCase{"not a number is no value", "OK00,1,nan,3\r\n", 3, 1},
                    BlockCase{"noise before the answer", "\x01\x02OK00,1,2,3\r\n", 3, 3}),
    test::CaseName());

TEST(CsReplies, ValuesAreTheNumbersSent) {
    auto buffer = bytes("OK00,1.250000e-03,-2.5,7\r\n");
    tokeniseReply(buffer, static_cast<int>(buffer.size()));
    const QList<float> values = parseSpectralBlock(buffer, static_cast<int>(buffer.size()), 3);
    ASSERT_EQ(values.size(), 3);
    EXPECT_FLOAT_EQ(values[0], 1.25e-3f);
    EXPECT_FLOAT_EQ(values[1], -2.5f);
    EXPECT_FLOAT_EQ(values[2], 7.0f);
}

}  // namespace
}  // namespace vqs
