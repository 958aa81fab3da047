// The locale-free number writer against the C library's printf in the "C" locale.

#include "platform/c_number.h"
#include "tests/platform/comma_locale.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <locale.h>
#include <bit>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace vqs {
namespace {

// printf's "%W.Nf" in the "C" locale, whatever the process's locale is.
std::string cPrintf(double value, int decimals, int width = 0) {
    const locale_t c = ::newlocale(LC_NUMERIC_MASK, "C", locale_t{});
    const locale_t previous = ::uselocale(c);
    char text[512];
    std::snprintf(text, sizeof text, "%*.*f", width, decimals, value);
    ::uselocale(previous);
    ::freelocale(c);
    return text;
}

struct FixedCase {
    const char* what;
    double value;
    int decimals;
    int width;
    const char* text;
};

class FormatCFixed : public testing::TestWithParam<FixedCase> {};

TEST_P(FormatCFixed, WritesWhatPrintfWrites) {
    const FixedCase& c = GetParam();
    EXPECT_EQ(formatCFixed(c.value, c.decimals, c.width).toStdString(), c.text);
    EXPECT_EQ(cPrintf(c.value, c.decimals, c.width), c.text) << "the table itself";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatCFixed,
    testing::Values(FixedCase{"halfway down to even", 0.0625, 3, 0, "0.062"},
                    FixedCase{"halfway up to even", 0.1875, 3, 0, "0.188"},
                    FixedCase{"halfway of a luminance", 1000.0625, 3, 0, "1000.062"},
                    FixedCase{"just above halfway in binary", 0.0005, 3, 0, "0.001"},
                    FixedCase{"negative zero", -0.0, 3, 0, "-0.000"},
                    FixedCase{"tiny negative", -0.0004, 3, 0, "-0.000"},
                    FixedCase{"negative", -1.25, 3, 0, "-1.250"},
                    FixedCase{"no decimals", 2.5, 0, 0, "2"},
                    FixedCase{"six decimals", 1.0 / 3.0, 6, 0, "0.333333"},
                    FixedCase{"a float", static_cast<double>(0.1f), 6, 0, "0.100000"},
                    FixedCase{"width pads in front", 5.0, 1, 5, "  5.0"},
                    FixedCase{"width already filled", 780.0, 1, 5, "780.0"},
                    FixedCase{"large", 1e20, 3, 0, "100000000000000000000.000"}),
    test::CaseName());

// Many values of every kind, above all the exact halves a float luminance of 64..1024 holds.
TEST(FormatCFixedSweep, AgreesWithPrintf) {
    std::mt19937_64 random(20261210);
    std::uniform_int_distribution<int> decimals(0, 6);
    std::uniform_real_distribution<double> reading(-2000.0, 2000.0);
    for (int i = 0; i < 30000; ++i) {
        const double half = static_cast<float>(random() % 1024) + (random() % 16) / 16.0;
        const double bits = std::bit_cast<double>(random());
        for (const double value : {half, -half, reading(random), bits}) {
            if (!std::isfinite(value) || std::fabs(value) > 1e30) continue;
            const int n = decimals(random);
            ASSERT_EQ(formatCFixed(value, n).toStdString(), cPrintf(value, n))
                << "value " << value << " with " << n << " decimals";
        }
    }
}

TEST(CNumberLocale, ReadsAndWritesAFullStopUnderACommaLocale) {
    const test::CommaNumberLocale comma;
    if (!comma.active()) GTEST_SKIP() << "no number locale with a decimal comma here";
    EXPECT_EQ(formatCFixed(2.35, 3), "2.350");
    const auto number = readCNumber("2.35 x");
    ASSERT_TRUE(number);
    EXPECT_EQ(number->value, 2.35);
}

}  // namespace
}  // namespace vqs
