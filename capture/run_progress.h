#pragma once
// What an automatic capture run is doing, in words for the status line: the patch being
// measured, "n of N", the time elapsed and the time left at the probe's own pace (RunPace),
// and, once the run is over, how it ended and how many patches it captured. A run advances in
// countdown steps (see the capture step); the window reports the steps, the captures and the
// end, and asks for the text. No widgets here, and no clock: the caller says what time it is.

#include "data/run_pace.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace vqs {

// "0:42", "12:05", "1:02:03".
QString minutesAndSeconds(int64_t ms);

class RunProgress {
public:
    // A run over slots firstSlot..lastSlot named as its button is; stepsPerCapture: the
    // countdown steps each patch takes (three with the local test-pattern window, four with a
    // monitor), until the run shows otherwise.
    void start(const QString& runName, int firstSlot, int lastSlot, int stepsPerCapture,
               int64_t nowMs);
    void reading(int64_t nowMs) { pace_.reading(nowMs); }
    void step(int64_t nowMs) { pace_.step(nowMs); }
    // The run's probe is not delivering: the wait does not count as the probe's pace.
    void holdUp(int64_t nowMs) { pace_.holdUp(nowMs); }
    // A patch went into the report; the next one takes this many steps.
    void captured(int stepsPerCapture);
    void finish(int64_t nowMs);
    void cancel(int64_t nowMs);
    // The operator moved on: the outcome of the last run is no longer news.
    void dismiss() { state_ = State::Idle; }

    bool running() const { return state_ == State::Running; }
    bool hasOutcome() const { return state_ == State::Finished || state_ == State::Cancelled; }
    int captured() const { return captured_; }
    int total() const { return lastSlot_ - firstSlot_ + 1; }

    // Time left while the selected slot waits for stepsLeftForSlot more steps; none while the
    // probe's pace is not known yet.
    std::optional<int64_t> remainingMs(int slot, int stepsLeftForSlot, int64_t nowMs) const;

    // "Capture All: 9 of 39, Grey12 · 0:42 elapsed · about 1:10 left"
    QString runningText(int slot, const QString& patchName, int stepsLeftForSlot,
                        int64_t nowMs) const;
    // The run stands still because of its probe: "<why>: Capture All waits at 9 of 39, Grey12"
    QString waitingText(const QString& why, int slot, const QString& patchName) const;
    // "Capture All finished: 39 patches captured in 1:58", or cancelled with "n of N".
    QString outcomeText() const;

private:
    enum class State { Idle, Running, Finished, Cancelled };
    int ordinal(int slot) const;  // n of "n of N"
    void end(State how, int64_t nowMs);

    State state_ = State::Idle;
    QString runName_;
    int firstSlot_ = 0;
    int lastSlot_ = -1;
    int stepsPerCapture_ = 3;
    int captured_ = 0;
    int64_t tookMs_ = 0;
    RunPace pace_;
};

}  // namespace vqs
