#include "colour/fixed_text.h"

#include "tests/platform/comma_locale.h"
#include "tests/support/qt_print.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <limits>

namespace vqs {
namespace {

struct FormatCase {
    double value;
    int precision;
    int decimals;
    const char* text;
};

class FixedText : public testing::TestWithParam<FormatCase> {};

TEST_P(FixedText, Formats) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(fixedText(c.value, c.precision, c.decimals), QString::fromLatin1(c.text))
        << c.value << " with precision " << c.precision << ", decimals " << c.decimals;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FixedText,
    testing::Values(
        // Readout formats.
        FormatCase{0.0, 5, 1, "0.0"}, FormatCase{0.0, 5, 4, "0.0000"},
        FormatCase{95.047, 5, 1, "95.0"}, FormatCase{108.883, 5, 1, "108.9"},
        FormatCase{0.31271, 5, 4, "0.3127"}, FormatCase{-0.5, 5, 4, "-0.5000"},
        // Precision limits the digits after the separator; zeros pad to the decimals asked.
        FormatCase{1234.56, 5, 4, "1234.6000"}, FormatCase{12345.4, 5, 1, "12345.0"},
        FormatCase{0.000123456, 5, 4, "0.0001"},
        // Rounding that carries into a new integer digit.
        FormatCase{9.99996, 5, 1, "10.0"}, FormatCase{0.99996, 4, 3, "1.000"},
        // More integer digits than the precision: scientific notation.
        FormatCase{123456.0, 5, 1, "1.2346E+05"}, FormatCase{12345.6, 4, 1, "1.235E+04"},
        FormatCase{99999.6, 5, 1, "1.0000E+05"}, FormatCase{-123456.0, 5, 1, "-1.2346E+05"},
        // A tiny negative value rounds to zero without a sign.
        FormatCase{-0.00001, 5, 4, "0.0000"}, FormatCase{-0.0, 4, 1, "0.0"},
        // Patch list format.
        FormatCase{0.0, 4, 3, "0.000"}, FormatCase{100.04, 4, 1, "100.0"},
        // Values no probe should deliver still give a readable text.
        FormatCase{std::numeric_limits<double>::infinity(), 5, 1, "INF"},
        FormatCase{std::numeric_limits<double>::quiet_NaN(), 5, 1, "NAN"}));

TEST(FixedTextLocale, UsesTheUsersDecimalSeparator) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(fixedText(95.047, 5, 1), QStringLiteral("95,0"));
    EXPECT_EQ(fixedText(123456.0, 5, 1), QStringLiteral("1,2346E+05"));
    QLocale::setDefault(previous);
}

// Qt installs the user's locale as the C library's too; the digits must not follow it, and a
// negative zero must be told by its digits whatever the separator.
TEST(FixedTextLocale, DigitsNeverFollowTheCLibrarysNumberLocale) {
    const test::CommaNumberLocale comma;
    if (!comma.active()) GTEST_SKIP() << "no number locale with a decimal comma here";
    EXPECT_EQ(fixedText(95.047, 5, 1), QStringLiteral("95.0")) << "the user's locale has a stop";
    EXPECT_EQ(fixedText(-0.00001, 5, 4), QStringLiteral("0.0000"));

    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(fixedText(-0.00001, 5, 4), QStringLiteral("0,0000"));
    EXPECT_EQ(fixedText(-0.5, 5, 4), QStringLiteral("-0,5000"));
    EXPECT_EQ(fixedText(123456.0, 5, 1), QStringLiteral("1,2346E+05"));
    QLocale::setDefault(previous);
}

}  // namespace
}  // namespace vqs
