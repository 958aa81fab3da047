#include "data/text_narrowing.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>

namespace vqs {
namespace {

struct NarrowCase {
    const char* what;
    QString text;
    QByteArray bytes;
};

void PrintTo(const NarrowCase& c, std::ostream* os) {
    *os << c.what;
}

class NarrowText : public testing::TestWithParam<NarrowCase> {};

TEST_P(NarrowText, GivesTheseBytes) {
    EXPECT_EQ(narrowText(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NarrowText,
    testing::Values(NarrowCase{"Latin1 keeps its bytes",
                               QString::fromUtf8("K\u00e4se \u00ff\u00a0~\x7f"),
                               QByteArray("K\xe4se \xff\xa0~\x7f")},
                    NarrowCase{"control characters are dropped",
                               QStringLiteral("a\tb\r\n\x01"
                                              "c"),
                               "abc"},
                    NarrowCase{"ideographs", QString::fromUtf8("\u4e00\u53f7"), "u4E00u53F7"},
                    NarrowCase{"Latin Extended", QString::fromUtf8("\u0100\u0141"), "u0100u0141"},
                    NarrowCase{"ideographic space", QString::fromUtf8("a\u3000b"), "au3000b"},
                    NarrowCase{"dash and curly quotes", QString::fromUtf8("\u2013\u201cA\u201d"),
                               "u2013u201CAu201D"},
                    NarrowCase{"a surrogate pair is one character",
                               QString::fromUtf8("\U0001F600!"), "U0001F600!"},
                    NarrowCase{"lone surrogates stand for themselves",
                               QString(QChar(0xD83D)) + QLatin1Char('x') + QChar(0xDE00),
                               "uD83DxuDE00"}),
    test::CaseName());

// Every character beyond Latin-1 becomes letters and digits only (never a control byte, a NUL
// or a folder separator), and no two of them the same.
TEST(NarrowTextEscapes, ArePrintableSafeInFileNamesAndDistinct) {
    std::set<QByteArray> seen;
    for (char32_t u = 0x100; u <= 0xFFFF; ++u) {
        if (QChar::isSurrogate(u)) continue;
        const QByteArray bytes = narrowText(QString(QChar(static_cast<char16_t>(u))));
        for (const char b : bytes)
            ASSERT_TRUE(std::isalnum(static_cast<unsigned char>(b))) << std::hex << unsigned(u);
        ASSERT_TRUE(seen.insert(bytes).second) << std::hex << unsigned(u);
    }
    for (char32_t u = 0x20; u <= 0xFF; ++u)
        ASSERT_EQ(narrowText(QString(QChar(static_cast<char16_t>(u)))),
                  QByteArray(1, static_cast<char>(u)));
}

}  // namespace
}  // namespace vqs
