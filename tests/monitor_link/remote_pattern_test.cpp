// What the selected monitor is told once a second: the selected patch, or, once the patch is
// withdrawn, at most ten off messages.

#include "monitor_link/pattern_display.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <optional>

namespace vqs {
namespace {

enum class Owed { Nothing, Off, Patch };

struct SceneCase {
    const char* what;
    PatternScene scene;
    int offBefore;
    Owed owed;
    int offAfter;
};

const SceneCase kScenes[] = {
    {"a patch reloads the off count", {1, false, false}, 3, Owed::Patch, 10},
    {"the last DICOM step is a patch", {61, false, false}, 0, Owed::Patch, 10},
    {"slot 0 withdraws", {0, false, false}, 10, Owed::Off, 9},
    {"slot 40 withdraws", {40, false, false}, 1, Owed::Off, 0},
    {"stopped withdraws", {5, true, false}, 10, Owed::Off, 9},
    {"the local window shown withdraws", {5, false, true}, 4, Owed::Off, 3},
    {"withdrawn with no off message owed", {40, false, false}, 0, Owed::Nothing, 0},
    {"no slot selected", {-1, false, false}, 7, Owed::Nothing, 7},
    {"a slot outside the catalogue", {62, false, false}, 7, Owed::Nothing, 7},
};

class RemotePattern : public testing::TestWithParam<SceneCase> {
protected:
    PatchCatalogue targets_ = makePatchCatalogue();
};

TEST_P(RemotePattern, owesWhatTheSceneAsks) {
    const SceneCase& c = GetParam();
    int off = c.offBefore;
    const auto pattern = remotePattern(c.scene, off, targets_);
    EXPECT_EQ(off, c.offAfter);
    switch (c.owed) {
        case Owed::Nothing:
            EXPECT_FALSE(pattern);
            break;
        case Owed::Off:
            ASSERT_TRUE(pattern);
            EXPECT_EQ(patternMessage(pattern->mode, pattern->red, pattern->green, pattern->blue,
                                     pattern->name),
                      "VQS_SIM=0 255 255 255 \r\n");
            break;
        case Owed::Patch: {
            ASSERT_TRUE(pattern);
            const Ttarget& t = targets_[c.scene.slot];
            EXPECT_EQ(pattern->mode, kPatternShow);
            EXPECT_EQ(std::tuple(pattern->red, pattern->green, pattern->blue),
                      std::tuple(t.r, t.g, t.b));
            EXPECT_EQ(pattern->name, t.name);
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(All, RemotePattern, testing::ValuesIn(kScenes), test::CaseName{});

// Once a second for half a minute with the patch withdrawn: ten off messages, then quiet until
// a patch qualifies again.
TEST(RemotePatternSequence, withdrawnPatchGetsTenOffMessagesThenQuiet) {
    const PatchCatalogue targets = makePatchCatalogue();
    int off = 0;
    ASSERT_TRUE(remotePattern({12, false, false}, off, targets));
    int offMessages = 0;
    for (int second = 0; second < 30; ++second)
        if (const auto p = remotePattern({12, false, true}, off, targets)) {
            EXPECT_EQ(p->mode, kPatternOff);
            ++offMessages;
        }
    EXPECT_EQ(offMessages, kRemotePatternOffMessages);
    const auto again = remotePattern({13, false, false}, off, targets);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->name, "Grey11");
}

}  // namespace
}  // namespace vqs
