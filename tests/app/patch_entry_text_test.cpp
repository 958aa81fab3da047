#include "app/patch_entry_text.h"

#include "tests/support/qt_print.h"

#include <gtest/gtest.h>

namespace vqs {
namespace {

struct EntryCase {
    const char* what;
    XyzTriple xyz;
    bool xyMode;
    const char* text;
};

class PatchEntryText : public testing::TestWithParam<EntryCase> {};

TEST_P(PatchEntryText, AppendsThePresentedPairAndY) {
    const EntryCase& c = GetParam();
    EXPECT_EQ(patchEntryText(QStringLiteral("Grey19 - White"), c.xyz, c.xyMode),
              QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PatchEntryText,
    testing::Values(
        EntryCase{"unmeasured", {0, 0, 0}, false, "Grey19 - White  (0.000 / 0.000 / 0.0)"},
        EntryCase{"unmeasured in xy", {0, 0, 0}, true, "Grey19 - White  (0.000 / 0.000 / 0.0)"},
        EntryCase{"white in uv", {95.047f, 100.0f, 108.883f}, false,
                  "Grey19 - White  (0.198 / 0.468 / 100.0)"},
        EntryCase{"white in xy", {95.047f, 100.0f, 108.883f}, true,
                  "Grey19 - White  (0.313 / 0.329 / 100.0)"},
        EntryCase{"Y beyond four integer digits", {11737.0f, 12345.6f, 13441.0f}, false,
                  "Grey19 - White  (0.198 / 0.468 / 1.235E+04)"}));

}  // namespace
}  // namespace vqs
