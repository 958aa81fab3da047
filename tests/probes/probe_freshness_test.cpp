// The freshness of a probe position, tick by tick, for probes of different rhythms.

#include "probes/probe_freshness.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <string>

namespace vqs {
namespace {

constexpr int64_t kTickMs = 100;

// One character per 100 ms tick: 'x' row 0 delivered, '.' row 0 did not, 'y' and ',' the same
// for row 1, 'g' row 0 with its port gone, ' ' no probe selected.
ProbeFreshness play(const std::string& script) {
    ProbeFreshness freshness;
    int64_t now = 0;
    for (const char c : script) {
        const int row = c == ' ' ? -1 : (c == 'y' || c == ',') ? 1 : 0;
        freshness.update(row, c == 'x' || c == 'y', now += kTickMs, c != 'g');
    }
    return freshness;
}

std::string quiet(int ticks) {
    return std::string(ticks, '.');
}

// A reading every `ticks` ticks, `count` times.
std::string every(int ticks, int count) {
    std::string script;
    for (int i = 0; i < count; ++i) script += quiet(ticks - 1) + 'x';
    return script;
}

struct FreshnessCase {
    const char* what;
    std::string script;
    ProbeLiveness expected;
};

void PrintTo(const FreshnessCase& c, std::ostream* os) {
    *os << c.what;
}

class Freshness : public testing::TestWithParam<FreshnessCase> {};

TEST_P(Freshness, FollowsTheProbesOwnRhythm) {
    EXPECT_EQ(play(GetParam().script).liveness(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Freshness,
    testing::Values(FreshnessCase{"nothing selected", "   ", ProbeLiveness::NoProbe},
                    FreshnessCase{"a probe just chosen", quiet(3), ProbeLiveness::Waiting},
                    FreshnessCase{"a probe that never delivered", quiet(600),
                                  ProbeLiveness::Waiting},
                    FreshnessCase{"reading every tick", every(1, 20), ProbeLiveness::Live},
                    FreshnessCase{"every tick, a hiccup under the shortest silence",
                                  every(1, 20) + quiet(20), ProbeLiveness::Live},
                    FreshnessCase{"every tick, then quiet past the shortest silence",
                                  every(1, 20) + quiet(21), ProbeLiveness::Silent},
                    FreshnessCase{"every second, quiet for under three", every(10, 5) + quiet(29),
                                  ProbeLiveness::Live},
                    FreshnessCase{"every second, quiet for over three", every(10, 5) + quiet(31),
                                  ProbeLiveness::Silent},
                    FreshnessCase{"a slow dark patch stretches the rhythm",
                                  every(10, 5) + every(40, 1) + quiet(100), ProbeLiveness::Live},
                    FreshnessCase{"the rhythm recovers once slow readings are past",
                                  every(40, 1) + every(10, 6) + quiet(31), ProbeLiveness::Silent},
                    FreshnessCase{"one reading: its wait is the rhythm", quiet(9) + 'x' + quiet(31),
                                  ProbeLiveness::Silent},
                    FreshnessCase{"silent, then delivering again", every(10, 5) + quiet(50) + 'x',
                                  ProbeLiveness::Live},
                    FreshnessCase{"another probe chosen waits afresh",
                                  every(1, 5) + quiet(40) + ",", ProbeLiveness::Waiting},
                    FreshnessCase{"another probe learns its own rhythm",
                                  every(50, 3) + "yyyyy" +
                                      ",,,,,,,,,,"
                                      ",,,,,,,,,,,",
                                  ProbeLiveness::Silent},
                    FreshnessCase{"its port gone: silent at once, not after three intervals",
                                  every(50, 3) + "g", ProbeLiveness::Silent},
                    FreshnessCase{"gone before its first reading", quiet(3) + "g",
                                  ProbeLiveness::Silent},
                    FreshnessCase{"back and delivering again", every(10, 3) + "gggg" + "x",
                                  ProbeLiveness::Live}),
    test::CaseName());

TEST(FreshnessOfASilentProbe, CountsFromItsLastReading) {
    const ProbeFreshness freshness = play(every(10, 5) + quiet(45));
    EXPECT_EQ(freshness.liveness(), ProbeLiveness::Silent);
    EXPECT_EQ(freshness.quietMs(), 4500);
    EXPECT_EQ(freshness.silenceLimitMs(), 3000);
}

TEST(FreshnessOfAVanishedProbe, CountsFromItsLastReading) {
    const ProbeFreshness freshness = play(every(10, 5) + quiet(4) + "ggggg");
    EXPECT_EQ(freshness.liveness(), ProbeLiveness::Silent);
    EXPECT_EQ(freshness.quietMs(), 900);
}

}  // namespace
}  // namespace vqs
