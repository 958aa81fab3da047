// The measurement cycle: every 100 ms, poll both probe positions, show their readings, advance
// an automatic capture run, move the serial bytes and pace the periodic messages.

#include "app/patch_list.h"
#include "app/tform1.h"
#include "colour/colour_conversion.h"

#include <QComboBox>
#include <QLabel>

namespace vqs {

namespace {

constexpr int kDiscoveryPeriodTicks = 30;
constexpr int64_t kTickMs = 100;

}  // namespace

void TForm1::Timer1Timer() {
    cs2000_->interpretReplies();

    const int r1 = firstSM->currentIndex();
    const bool got1 = r1 != -1 && pollProbe(r1, state_.probe1);
    // Time counted in ticks: steady, unlike the wall clock, and the probes' rhythm is ticks.
    const int64_t tickMs = ++cycleTicks_ * kTickMs;
    firstFreshness_.update(r1, got1, tickMs, probeReachable(r1));
    // Row 0 is never tracked, and neither is "no selection".
    if (state_.firstActiveProbe == 0 && r1 > 0) state_.firstActiveProbe = r1;
    if (got1) pushReading();
    releaseDeselectedFirstProbe(r1);

    Tprobevals& second = state_.probe2;
    second.shown = 0;
    bool got2 = false;
    const int s = scndSM->currentIndex();
    const int r2 = s - 1;
    if (s != -1 && s != 0 && r2 != r1) {
        second.shown = 2;
        got2 = pollProbe(r2, second);
        if (state_.secondActiveProbe == 0 && r2 != 0) state_.secondActiveProbe = r2;
    }
    // Both positions on one instrument: it is polled once and both show its values.
    if (r2 == r1 && got1) {
        second.X = state_.probe1.X;
        second.Y = state_.probe1.Y;
        second.Z = state_.probe1.Z;
        second.shown = 2;
        got2 = true;
    }
    if (got2) {
        convertReading(second);
        showSecondReading();
    }
    // The second position follows its own probe, or the first one's when both name it.
    const int secondRow = s > 0 ? r2 : -1;
    secondFreshness_.update(secondRow, got2, tickMs, probeReachable(secondRow));
    releaseDeselectedSecondProbe(r2);

    if (!state_.measurementStopped) advanceCapture(got1, got2);
    showStatusLine();
    showProbeStates();
    dropRecoveryOnceSaved();

    readLink();
    serialReplyCheck();
    cs2000_->readBytes();
    receiveDiscoveryReply();
    paceDiscovery();
    networkPollStep();
    tellConnectionFailures();
    tellSerialProblems();
}

bool TForm1::pollProbe(int row, Tprobevals& reading) {
    ProbeDriver& driver = drivers_.forType(probeTypeAt(*state_.probes, row));
    return driver.poll(row, reading.X, reading.Y, reading.Z, reading.spectrum) != 0;
}

void TForm1::releaseDeselectedFirstProbe(int r1) {
    const int active = state_.firstActiveProbe;
    if (active == 0 || active == r1 || active == state_.secondActiveProbe) return;
    if (probeTypeAt(*state_.probes, active) == kProbeQsp720)
        drivers_.forType(kProbeQsp720).release(active);
    state_.firstActiveProbe = 0;
}

void TForm1::releaseDeselectedSecondProbe(int r2) {
    const int active = state_.secondActiveProbe;
    if (active == 0 || active == r2 || active == state_.firstActiveProbe) return;
    const int32_t type = probeTypeAt(*state_.probes, active);
    if (type == kProbeQsp720 || type == kProbeCs2000) drivers_.forType(type).release(active);
    state_.secondActiveProbe = 0;
}

// The countdown moves on ticks with a fresh first reading, at least five ticks apart; the tick
// on which it reaches 1 captures.
void TForm1::advanceCapture(bool got1, bool got2) {
    ++state_.captureTicks;
    if (state_.captureCountdown != 0 && firstFreshness_.liveness() != ProbeLiveness::Live)
        runProgress_.holdUp(steadyMs());
    if (got1) {
        convertReading(state_.probe1);
        showFirstReading();
        refreshCharts();
        if (state_.captureCountdown != 0) runProgress_.reading(steadyMs());
        if (state_.captureCountdown != 0 && state_.captureTicks > 4) {
            state_.captureTicks = 0;
            runProgress_.step(steadyMs());
            if (--state_.captureCountdown == 1) captureStep();
        }
    }
    if (got2) refreshCharts();
}

void TForm1::captureStep() {
    const int p = selectedSlot();
    if (p < 0 || p >= kPatchSlots) return;
    const Tprobevals& reading = state_.probe1;
    state_.workingReport.xyz[p] = {reading.X, reading.Y, reading.Z};
    updatePatchLabels(p);
    if (p < kLastSlot) selectSlot(p + 1);
    sendPatternToMonitor();
    state_.captureCountdown = updatePatternWindow() ? 4 : 5;
    const int now = selectedSlot();
    runProgress_.captured(state_.captureCountdown - 1);
    if (now == state_.captureEndSlot || now == p) {
        selectSlot(kStopSlot);
        state_.measurementStopped = true;
        state_.captureCountdown = 0;
        refreshCharts();
        runProgress_.finish(steadyMs());
        valuesStatus->setText(runProgress_.outcomeText());
    } else {
        state_.workingReport.unsaved = 1;
    }
    keepRecoveryCurrent();
}

// The discovery request and the date message go out on the first tick and then every 31.
void TForm1::paceDiscovery() {
    if (state_.discoveryCountdown == 0) {
        sendDiscoveryRequest();
        pushDate();
        state_.discoveryCountdown = kDiscoveryPeriodTicks;
    } else {
        --state_.discoveryCountdown;
    }
}

}  // namespace vqs
