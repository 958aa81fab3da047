#include "capture/capture_session.h"

#include "colour/colour_conversion.h"
#include "data/monitor_records.h"
#include "probes/probe_session.h"

#include <QDir>

#include <algorithm>

namespace vqs {

namespace {

constexpr int64_t kNoticeMs = 8000;

// Capture moves to the next patch, skipping the "Stop (Show All)" entry between the EBU colours
// and the DICOM steps, and stops after the last DICOM step.
int slotAfterCapture(int slot) {
    if (slot == kLastEbuSlot) return kFirstDicomSlot;
    if (slot == kLastSlot) return kStopSlot;
    return slot + 1;
}

}  // namespace

QString monitorIdentity(const Tcaldaten& report) {
    if (report.devname.isEmpty() && report.devsnid.isEmpty())
        return QStringLiteral("a monitor without name or SN/ID");
    if (report.devsnid.isEmpty()) return QStringLiteral("\"%1\"").arg(report.devname);
    if (report.devname.isEmpty()) return QStringLiteral("SN/ID %1").arg(report.devsnid);
    return QStringLiteral("\"%1\" (SN/ID %2)").arg(report.devname, report.devsnid);
}

CaptureSession::CaptureSession(CaptureRecords records, const ProbeSession& probes,
                               Prompter& prompts, Clock& clock, CaptureView& view)
    : records_(records),
      probes_(probes),
      prompts_(prompts),
      clock_(clock),
      view_(view),
      afterTick_(prompts) {
    steadyClock_.start();
}

int64_t CaptureSession::steadyMs() const {
    return steadyClockOverride_ ? steadyClockOverride_() : steadyClock_.elapsed();
}

// ---- Commands -------------------------------------------------------------------------------

bool CaptureSession::captureOne() {
    bool& stopped = records_.measurementStopped;
    if (stopped) {
        view_.selectSlot(kStartSlot);
    } else if (const std::optional<QString> refusal = probes_.captureRefusal()) {
        prompts_.message(PromptKind::Warning, *refusal, PromptButtons::Ok);
        return false;
    }
    const int p = view_.selectedSlot();
    if (p < 0 || p >= kPatchSlots) return false;
    const Tprobevals& reading = records_.firstReading;
    records_.workingReport.xyz[p] = {reading.X, reading.Y, reading.Z};
    records_.workingReport.repdate = clock_.shortDate(clock_.today());
    view_.showPatchValues(p);
    if (!stopped) {
        if (isPatchSlot(p)) records_.workingReport.unsaved = 1;
        view_.selectSlot(slotAfterCapture(p));
    }
    keepRecoveryCurrent();
    return true;
}

void CaptureSession::captureAll(const QString& runName) {
    Tcaldaten& working = records_.workingReport;
    if (cancelRun() || confirmDiscard(working, prompts_)) return;
    resetReport(working);
    working.devname = view_.typedDevname();
    working.devsnid = view_.typedDevsnid();
    working.repdate = clock_.shortDate(clock_.today());
    keepRecoveryCurrent();
    startProgress(runName, kFirstPrimarySlot, kLastEbuSlot);
    startRun(kFirstPrimarySlot, kStopSlot);
}

void CaptureSession::captureDicom(const QString& runName) {
    if (cancelRun() || confirmDiscard(records_.workingReport, prompts_)) return;
    clearDicomResults(records_.workingReport);
    keepRecoveryCurrent();
    startProgress(runName, kFirstDicomSlot, kLastSlot);
    // There is no slot 62: the run ends when it cannot move past the last DICOM step.
    startRun(kFirstDicomSlot, kPatchSlots);
}

bool CaptureSession::cancelRun() {
    if (countdown_ == 0) return false;
    countdown_ = 0;
    progress_.cancel(steadyMs());
    return true;
}

void CaptureSession::startProgress(const QString& runName, int firstSlot, int lastSlot) {
    // A monitor shows the patches one countdown step later than the local window (see the
    // capture step), so its patches take a step more.
    progress_.start(runName, firstSlot, lastSlot, view_.patternWindowShown() ? 3 : 4, steadyMs());
}

void CaptureSession::startRun(int firstSlot, int endSlot) {
    notice_.clear();
    view_.showPatchValues(-1);
    records_.measurementStopped = false;
    view_.selectSlot(firstSlot);
    view_.showPatternLocally();
    view_.sendPatternToMonitor();
    countdown_ = 4;
    endSlot_ = endSlot;
}

// ---- The measurement tick -------------------------------------------------------------------

void CaptureSession::advance(bool gotFirst, bool gotSecond) {
    ++ticks_;
    if (countdown_ != 0 && !probes_.firstIsLive()) progress_.holdUp(steadyMs());
    if (gotFirst) {
        convertReading(records_.firstReading);
        view_.showFirstReading();
        view_.refreshCharts();
        if (countdown_ != 0) progress_.reading(steadyMs());
        if (countdown_ != 0 && ticks_ > 4) {
            ticks_ = 0;
            progress_.step(steadyMs());
            if (--countdown_ == 1) captureStep();
        }
    }
    if (gotSecond) view_.refreshCharts();
}

void CaptureSession::captureStep() {
    const int p = view_.selectedSlot();
    if (p < 0 || p >= kPatchSlots) return;
    const Tprobevals& reading = records_.firstReading;
    records_.workingReport.xyz[p] = {reading.X, reading.Y, reading.Z};
    view_.showPatchValues(p);
    if (p < kLastSlot) view_.selectSlot(p + 1);
    view_.sendPatternToMonitor();
    countdown_ = view_.showPatternLocally() ? 4 : 5;
    const int now = view_.selectedSlot();
    progress_.captured(countdown_ - 1);
    if (now == endSlot_ || now == p) {
        view_.selectSlot(kStopSlot);
        records_.measurementStopped = true;
        countdown_ = 0;
        view_.refreshCharts();
        progress_.finish(steadyMs());
        view_.showStatus(progress_.outcomeText());
    } else {
        records_.workingReport.unsaved = 1;
    }
    keepRecoveryCurrent();
}

// ---- The status line ------------------------------------------------------------------------

std::optional<QString> CaptureSession::statusLine() {
    if (records_.measurementStopped) return std::nullopt;
    const bool live = probes_.firstIsLive();
    const int64_t now = steadyMs();
    if (!notice_.isEmpty() && now >= noticeUntilMs_) notice_.clear();
    if (progress_.running()) {
        const int slot = view_.selectedSlot();
        const QString name = records_.targets[std::clamp(slot, 0, kLastSlot)].name;
        return live ? progress_.runningText(slot, name, countdown_ - 1, now)
                    : progress_.waitingText(probes_.firstHoldUp(), slot, name);
    }
    if (!notice_.isEmpty()) return notice_;
    return live ? progress_.outcomeText() : probes_.firstFreshnessText();
}

void CaptureSession::tellQuietly(const QString& text) {
    notice_ = text;
    noticeUntilMs_ = steadyMs() + kNoticeMs;
}

void CaptureSession::moveOn() {
    progress_.dismiss();
    notice_.clear();
}

// ---- Recovery -------------------------------------------------------------------------------

std::optional<CaptureSession::Restored> CaptureSession::offerRecovery() {
    if (recoveryOffered_) return std::nullopt;
    recoveryOffered_ = true;
    const auto left = recovery_.leftBehind(records_.targets);
    if (!left) return std::nullopt;
    if (left->capturedPatches == 0) {
        recovery_.remove();
        return std::nullopt;
    }
    const QString question =
        QStringLiteral("Lumiquest ended before the report of %1 was saved. Restore its %2 "
                       "captured patches?")
            .arg(monitorIdentity(left->report))
            .arg(left->capturedPatches);
    if (prompts_.message(PromptKind::Confirmation, question, PromptButtons::YesNo) !=
        PromptAnswer::Yes) {
        recovery_.remove();
        return std::nullopt;
    }
    // Back as it was when the last patch was captured, not saved yet.
    records_.workingReport = left->report;
    records_.workingReport.unsaved = 1;
    recoveryHeld_ = true;
    return Restored{left->report, left->capturedPatches};
}

void CaptureSession::keepRecoveryCurrent() {
    if (records_.workingReport.unsaved == 0) {
        if (recoveryHeld_ && recovery_.remove()) recoveryHeld_ = false;
        return;
    }
    Tcaldaten snapshot = records_.workingReport;
    snapshot.devname = view_.typedDevname();
    snapshot.devsnid = view_.typedDevsnid();
    snapshot.repgamma = records_.settings.targetGamma;
    const FileWriteResult written = recovery_.write(snapshot, records_.targets);
    recoveryHeld_ = true;
    // Told once until a write succeeds again: a run must not stop for a message per patch.
    if (written.ok || recoveryWriteFailed_) {
        recoveryWriteFailed_ = !written.ok;
        return;
    }
    recoveryWriteFailed_ = true;
    afterTick_.tell(PromptKind::Warning,
                    QStringLiteral("The captured patches cannot be kept for recovery in %1: %2. "
                                   "The measurement goes on; save the report when it is done.")
                        .arg(QDir::toNativeSeparators(written.path), written.error));
}

void CaptureSession::dropRecoveryOnceSaved() {
    if (recoveryHeld_ && records_.workingReport.unsaved == 0) keepRecoveryCurrent();
}

}  // namespace vqs
