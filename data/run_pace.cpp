#include "data/run_pace.h"

#include <algorithm>
#include <numeric>

namespace vqs {

void RunPace::Intervals::add(int64_t ms) {
    values[count % kKept] = ms;
    ++count;
}

std::optional<int64_t> RunPace::Intervals::mean() const {
    const int kept = std::min(count, kKept);
    if (kept == 0) return std::nullopt;
    return std::accumulate(values.begin(), values.begin() + kept, int64_t{0}) / kept;
}

void RunPace::start(int64_t nowMs) {
    // The probe's reading interval carries over from run to run; its steps start afresh.
    const Intervals readings = readings_;
    *this = RunPace();
    readings_ = readings;
    started_ = nowMs;
    stepClock_ = nowMs;
}

void RunPace::reading(int64_t nowMs) {
    if (lastReading_) readings_.add(nowMs - *lastReading_);
    lastReading_ = nowMs;
}

void RunPace::step(int64_t nowMs) {
    // The first step of a run may come early (the countdown's tick count is not reset when a
    // run starts), so only steps after a step tell the pace.
    if (lastStep_) steps_.add(nowMs - *lastStep_);
    lastStep_ = nowMs;
    stepClock_ = nowMs;
}

void RunPace::holdUp(int64_t nowMs) {
    lastReading_.reset();
    lastStep_.reset();
    stepClock_ = nowMs;
}

std::optional<int64_t> RunPace::stepMs() const {
    if (const auto steps = steps_.mean()) return steps;
    const auto reading = readings_.mean();
    if (!reading || *reading <= 0) return std::nullopt;
    // The first reading at least kShortestRunStepMs after the last step moves the countdown.
    const int64_t readingsPerStep = (kShortestRunStepMs + *reading - 1) / *reading;
    return readingsPerStep * *reading;
}

std::optional<int64_t> RunPace::remainingMs(int stepsLeft, int64_t nowMs) const {
    if (stepsLeft <= 0) return 0;
    const auto step = stepMs();
    if (!step) return std::nullopt;
    const int64_t sinceStep = nowMs - stepClock_;
    return std::max(stepsLeft * *step - sinceStep, (stepsLeft - 1) * *step);
}

}  // namespace vqs
