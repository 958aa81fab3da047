#pragma once
// Whether a probe position still delivers. Fed once a measurement tick with the probe row polled
// there and whether the poll delivered, it learns the probe's own rhythm (a colorimeter delivers
// every tick, a spectroradiometer every few seconds, and slower on dark patches) and calls the
// probe silent once a reading is overdue by several of its intervals, or at once when the probe's
// port has gone (an unplugged adapter). It sees only what the driver contract returns and
// whether the probe can still be reached, so it serves every probe type and both positions.

#include <array>
#include <cstdint>

namespace vqs {

enum class ProbeLiveness {
    NoProbe,  // nothing selected in the position
    Waiting,  // selected, no reading from it yet
    Live,
    Silent,  // a reading is overdue by several of the probe's own intervals, or its port went
};

// Silent after this many of the probe's longest recent intervals without a reading...
inline constexpr int kSilentAfterIntervals = 3;
// ...and never sooner, so a probe that reads every tick is not called silent for a hiccup.
inline constexpr int64_t kShortestSilenceMs = 2000;

class ProbeFreshness {
public:
    // One measurement tick at nowMs: the probe row polled (-1 for none), whether it delivered,
    // and whether it can be reached at all (false once its port vanished).
    void update(int row, bool delivered, int64_t nowMs, bool reachable = true);

    ProbeLiveness liveness() const { return liveness_; }
    // False while the probe's port is gone.
    bool reachable() const { return reachable_; }
    // Since the last reading; while waiting for the first, since the probe was chosen.
    int64_t quietMs() const { return now_ - since_; }
    // How long the probe may stay quiet before it counts as silent.
    int64_t silenceLimitMs() const;

private:
    static constexpr int kKeptIntervals = 5;

    int row_ = -1;
    int64_t now_ = 0;
    int64_t since_ = 0;
    bool delivered_ = false;
    int64_t firstWait_ = 0;  // from the choice to the first reading: the rhythm until one is seen
    std::array<int64_t, kKeptIntervals> intervals_{};  // between readings, 0 = not yet seen
    int nextInterval_ = 0;
    ProbeLiveness liveness_ = ProbeLiveness::NoProbe;
    bool reachable_ = true;
};

}  // namespace vqs
