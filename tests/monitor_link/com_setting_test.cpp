// The COM field: which port a typed text names and what the field shows afterwards.

#include "monitor_link/com_setting.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

namespace vqs {
namespace {

struct ComCase {
    std::string what;
    QString typed;
    int port;
};

class ComField : public testing::TestWithParam<ComCase> {};

TEST_P(ComField, namesThePortAScanfDecimalReads) {
    EXPECT_EQ(comNumberOf(GetParam().typed), GetParam().port);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComField,
    testing::Values(ComCase{"digit", "3", 3}, ComCase{"space digit letter", " 7x", 7},
                    ComCase{"leading zeros", "007", 7}, ComCase{"plus sign", "+5", 5},
                    ComCase{"highest port", "255", 255}, ComCase{"one past", "256", 0},
                    ComCase{"three hundred", "300", 0}, ComCase{"zero", "0", 0},
                    ComCase{"minus two", "-2", 0}, ComCase{"minus zero", "-0", 0},
                    ComCase{"letters", "COM", 0}, ComCase{"empty", "", 0},
                    ComCase{"sign alone", "-", 0}, ComCase{"space between sign", "- 3", 0},
                    // scanf would wrap these into an int: 2^32 + 7 is not COM7.
                    ComCase{"wraps past 32 bits", "4294967303", 0},
                    ComCase{"many digits", "99999999999999999999999", 0},
                    ComCase{"wide digit", QString::fromUtf8("\u0667"), 0}),
    test::CaseName{});

struct ShownCase {
    QString typed;
    QString shown;
};

// The link stays closed here (no serial folder holds these ports); what matters is the text
// the field and the setting take.
TEST(ComFieldTakeOver, showsTheNumberAloneOrZero) {
    qputenv("VQS_SERIAL_DIR", "/nonexistent-vqs-serial");
    for (const ShownCase& c : {ShownCase{" 7x", "7"}, ShownCase{"007", "7"}, ShownCase{"300", "0"},
                               ShownCase{"-2", "0"}, ShownCase{"abc", "0"}, ShownCase{"", "0"}}) {
        SerialLink link;
        EXPECT_EQ(takeOverComNumber(link, c.typed), c.shown) << c.typed.toStdString();
        EXPECT_EQ(link.state, 0);
    }
}

}  // namespace
}  // namespace vqs
