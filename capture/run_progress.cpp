#include "capture/run_progress.h"

#include <algorithm>

namespace vqs {

namespace {

const QString kSeparator = QStringLiteral("  \u00b7  ");

}  // namespace

QString minutesAndSeconds(int64_t ms) {
    const int64_t seconds = std::max<int64_t>(ms, 0) / 1000;
    const auto twoDigits = [](int64_t n) { return QStringLiteral("%1").arg(n, 2, 10, QChar('0')); };
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg(twoDigits(seconds / 60 % 60), twoDigits(seconds % 60));
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(twoDigits(seconds % 60));
}

void RunProgress::start(const QString& runName, int firstSlot, int lastSlot,
                        int stepsPerCapture, int64_t nowMs) {
    state_ = State::Running;
    runName_ = runName;
    firstSlot_ = firstSlot;
    lastSlot_ = lastSlot;
    stepsPerCapture_ = stepsPerCapture;
    captured_ = 0;
    tookMs_ = 0;
    pace_.start(nowMs);
}

void RunProgress::captured(int stepsPerCapture) {
    ++captured_;
    stepsPerCapture_ = stepsPerCapture;
}

void RunProgress::finish(int64_t nowMs) {
    end(State::Finished, nowMs);
}

void RunProgress::cancel(int64_t nowMs) {
    end(State::Cancelled, nowMs);
}

void RunProgress::end(State how, int64_t nowMs) {
    if (state_ != State::Running) return;
    state_ = how;
    tookMs_ = pace_.elapsedMs(nowMs);
}

int RunProgress::ordinal(int slot) const {
    return std::clamp(slot, firstSlot_, lastSlot_) - firstSlot_ + 1;
}

std::optional<int64_t> RunProgress::remainingMs(int slot, int stepsLeftForSlot,
                                                int64_t nowMs) const {
    const int patchesAfter = total() - ordinal(slot);
    return pace_.remainingMs(std::max(stepsLeftForSlot, 0) + patchesAfter * stepsPerCapture_,
                             nowMs);
}

QString RunProgress::runningText(int slot, const QString& patchName, int stepsLeftForSlot,
                                 int64_t nowMs) const {
    const auto left = remainingMs(slot, stepsLeftForSlot, nowMs);
    return QStringLiteral("%1: %2 of %3, %4")
               .arg(runName_)
               .arg(ordinal(slot))
               .arg(total())
               .arg(patchName) +
           kSeparator + minutesAndSeconds(pace_.elapsedMs(nowMs)) + QStringLiteral(" elapsed") +
           kSeparator +
           (left ? QStringLiteral("about %1 left").arg(minutesAndSeconds(*left))
                 : QStringLiteral("estimating the time left"));
}

QString RunProgress::waitingText(const QString& why, int slot, const QString& patchName) const {
    return QStringLiteral("%1: %2 waits at %3 of %4, %5")
        .arg(why, runName_)
        .arg(ordinal(slot))
        .arg(total())
        .arg(patchName);
}

QString RunProgress::outcomeText() const {
    if (state_ == State::Finished)
        return QStringLiteral("%1 finished: %2 patches captured in %3")
            .arg(runName_)
            .arg(captured_)
            .arg(minutesAndSeconds(tookMs_));
    if (state_ == State::Cancelled)
        return QStringLiteral("%1 cancelled: %2 of %3 patches captured in %4")
            .arg(runName_)
            .arg(captured_)
            .arg(total())
            .arg(minutesAndSeconds(tookMs_));
    return {};
}

}  // namespace vqs
