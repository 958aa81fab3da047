// The main window's part of the monitor link: the serial link opened from the COM field and
// closed at exit, its bytes moved every tick, monitor discovery on the datagram endpoint, the
// pushes, the patches on the selected monitor, the report queries, "Save(To Monitor)", and the
// TCP connections dropped at exit. Errors of the TCP connections reach the operator once per
// failure.

#include "app/tform1.h"
#include "app/tform2.h"
#include "monitor_link/downstream_save.h"
#include "monitor_link/monitor_pushes.h"
#include "monitor_link/network_poll.h"
#include "monitor_link/pattern_display.h"
#include "monitor_link/serial_reply_check.h"

#include <QPushButton>
#include <QTableWidget>

namespace vqs {

void TForm1::markLinkClosed() {
    trace("markLinkClosed");
    vqs::closeLink(state_.monitorLink->linkPort);
}

void TForm1::closeLink() {
    trace("closeLink");
    vqs::closeLink(state_.monitorLink->linkPort);
}

void TForm1::disconnectMonitors() {
    trace("disconnectMonitors");
    downstreamSave_->cancel();
    vqs::disconnectMonitors(*state_.monitorLink);
}

void TForm1::readLink() {
    vqs::readLink(state_.monitorLink->linkPort);
}

void TForm1::receiveDiscoveryReply() {
    const MergeResult merged =
        vqs::receiveDiscoveryReply(state_.monitorLink->datagrams, *state_.monitors);
    if (merged == MergeResult::Added) fillDeviceGrid();
    noteMonitorMerge(merged);
}

// A full list is told once, after the tick, and again only after it had room in between; what
// is listed stays.
void TForm1::noteMonitorMerge(MergeResult result) {
    if (!monitorListFull_.note(result, *state_.monitors)) return;
    const QString text = QStringLiteral(
                             "The monitor list is full (%1 entries): no further monitor or "
                             "report file is listed. Applying the report directory, the COM "
                             "port or the network address again removes their entries.")
                             .arg(kMonitorCapacity);
    QMetaObject::invokeMethod(
        this,
        [this, text] { services_.prompts.message(PromptKind::Warning, text, PromptButtons::Ok); },
        Qt::QueuedConnection);
}

void TForm1::sendDiscoveryRequest() {
    vqs::sendDiscoveryRequest(state_.monitorLink->datagrams, state_.settings.networkIp);
}

// A refused or unreachable monitor is told once, not at every tick that tries it again. The box
// comes after the link call that found the failure, never inside it.
void TForm1::watchMonitorConnections() {
    downstreamSave_ = std::make_unique<DownstreamSave>(*state_.monitorLink, *state_.monitors);
    setTcpErrorHandler(*state_.monitorLink, [this](const QString& text) {
        QMetaObject::invokeMethod(
            this,
            [this, text] { services_.prompts.message(PromptKind::Error, text, PromptButtons::Ok); },
            Qt::QueuedConnection);
    });
}

// Failures that happened between ticks (a connect refused or timed out) are told here.
void TForm1::tellConnectionFailures() {
    watchConnections(*state_.monitorLink);
}

// ---- Messages ------------------------------------------------------------------------------

void TForm1::pushReading() {
    const Tprobevals& r = state_.probe1;
    vqs::pushReading(*state_.monitorLink, state_.settings.networkIp, r.X, r.Y, r.Z);
}

void TForm1::pushDate() {
    vqs::pushDate(*state_.monitorLink, state_.settings.networkIp,
                  services_.clock.shortDate(services_.clock.today()));
}

void TForm1::serialReplyCheck() {
    const MergeResult merged =
        vqs::serialReplyCheck(*state_.monitorLink, *state_.monitors, state_.targets);
    if (merged == MergeResult::Added || merged == MergeResult::Updated) fillDeviceGrid();
    noteMonitorMerge(merged);
}

void TForm1::networkPollStep() {
    if (vqs::networkPollStep(*state_.monitorLink, *state_.monitors, state_.targets))
        fillDeviceGrid();
}

void TForm1::sendPatternToMonitor() {
    const PatternScene scene{selectedSlot(), state_.measurementStopped,
                             patternWindow_ != nullptr && patternWindow_->isVisible()};
    vqs::sendPatternToMonitor(*state_.monitorLink, *state_.monitors, selectedDevice(), scene,
                              state_.remotePatternOffCount, state_.targets);
}

// ---- "Save(To Monitor)" ---------------------------------------------------------------------

// The grid's selection as the save walks it: grid row r shows the record at position r - 1.
GridSelection TForm1::deviceGridSelection() const {
    const auto ranges = StringGrid1->selectedRanges();
    if (!ranges.isEmpty()) return {ranges.first().topRow() + 1, ranges.first().bottomRow() + 1};
    const int row = StringGrid1->currentRow();
    return row < 0 ? GridSelection{0, -1} : GridSelection{row + 1, row + 1};
}

void TForm1::btnDownstreamClick() {
    DownstreamSave& save = *downstreamSave_;
    if (save.isRunning()) return;
    Tcaldaten& working = state_.workingReport;
    working.repgamma = state_.settings.targetGamma;
    const MonitorList& monitors = *state_.monitors;
    std::vector<SaveTarget> targets =
        saveTargets(monitors, deviceGridSelection(),
                    [&monitors](int row) { return recordAtRow(monitors, row); });
    if (targets.empty()) {
        if (services_.prompts.message(PromptKind::Confirmation, kNoLinkDevicesQuestion,
                                      PromptButtons::YesNo) == PromptAnswer::Yes)
            enterDeviceSelectionMode();
        working.unsaved = 0;
        return;
    }
    // The messages go out over the next seconds; the window stays responsive meanwhile.
    btnDownstream->setEnabled(false);
    save.start(std::move(targets), working, state_.targets,
               [this](const SaveOutcome& outcome) { downstreamSaveFinished(outcome); });
}

// Only a report every selected monitor received whole, and not changed since, counts as saved.
void TForm1::downstreamSaveFinished(const SaveOutcome& outcome) {
    btnDownstream->setEnabled(true);
    fillDeviceGrid();
    if (!outcome.complete) {
        // The save ends on one of its own timer callbacks; the box comes after it.
        tellAfterTick(PromptKind::Error, outcome.failure);
        return;
    }
    if (downstreamSave_->sentAsIs(state_.workingReport)) state_.workingReport.unsaved = 0;
    tellQuietly(outcome.monitorsSaved == 1
                    ? QStringLiteral("The report was sent to 1 monitor")
                    : QStringLiteral("The report was sent to %1 monitors").arg(outcome.monitorsSaved));
}

}  // namespace vqs
