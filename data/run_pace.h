#pragma once
// How long an automatic capture run still needs, from the pace the first probe keeps. A run
// advances in steps: the capture countdown moves on a fresh reading, at least five measurement
// ticks after its last move, and a patch is captured every few steps. So the pace of a run is
// the probe's own: a colorimeter that reads every tick steps every 500 ms, a spectroradiometer
// that needs five seconds a reading steps every five seconds. Times are milliseconds on a
// steady clock; the caller says when things happen, which keeps this free of any clock.

#include <array>
#include <cstdint>
#include <optional>

namespace vqs {

// The countdown moves at most every fifth tick of 100 ms.
inline constexpr int64_t kShortestRunStepMs = 500;

class RunPace {
public:
    void start(int64_t nowMs);
    void reading(int64_t nowMs);  // a fresh reading of the run's probe
    void step(int64_t nowMs);     // the countdown moved
    // The run waits for a probe that stopped delivering. A wait is no part of the probe's pace:
    // the intervals across it are not counted, and the time left does not run down meanwhile.
    void holdUp(int64_t nowMs);

    int64_t elapsedMs(int64_t nowMs) const { return nowMs - started_; }
    // The time `stepsLeft` more steps take at the pace seen so far; none while no pace is known
    // (before the second reading). A step that is overdue shortens nothing: the others remain.
    std::optional<int64_t> remainingMs(int stepsLeft, int64_t nowMs) const;
    // The time one step takes: the mean of the recent steps, or, before two steps were seen,
    // what the probe's reading interval allows.
    std::optional<int64_t> stepMs() const;

private:
    // Recent intervals only: a spectroradiometer slows down on the dark patches of a run.
    static constexpr int kKept = 12;
    struct Intervals {
        std::array<int64_t, kKept> values{};
        int count = 0;  // how many were seen, kept or not
        void add(int64_t ms);
        std::optional<int64_t> mean() const;
    };

    int64_t started_ = 0;
    int64_t stepClock_ = 0;  // since the last step, or the end of the last wait
    std::optional<int64_t> lastReading_;
    std::optional<int64_t> lastStep_;
    Intervals readings_;
    Intervals steps_;
};

}  // namespace vqs
