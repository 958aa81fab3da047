#include "monitor_link/link_session.h"

#include "data/report_file.h"
#include "monitor_link/com_setting.h"
#include "monitor_link/monitor_discovery.h"
#include "monitor_link/monitor_pushes.h"
#include "monitor_link/network_poll.h"
#include "monitor_link/serial_monitor_link.h"
#include "monitor_link/serial_reply_check.h"

namespace vqs {

namespace {

constexpr int kDiscoveryPeriodTicks = 30;

}  // namespace

// A refused or unreachable monitor is told once, not at every tick that tries it again. The box
// comes after the link call that found the failure, never inside it.
LinkSession::LinkSession(LinkRecords records, Prompter& prompts, Clock& clock,
                         LinkSessionView& view, StepTrace& trace)
    : records_(records),
      prompts_(prompts),
      clock_(clock),
      view_(view),
      trace_(trace),
      afterTick_(prompts),
      save_(std::make_unique<DownstreamSave>(records.link, records.monitors)) {
    setTcpErrorHandler(records_.link,
                       [this](const QString& text) { afterTick_.tell(PromptKind::Error, text); });
}

LinkSession::~LinkSession() {
    setTcpErrorHandler(records_.link, nullptr);
}

// ---- Start-up and shutdown ------------------------------------------------------------------

void LinkSession::scanReportDir() {
    trace_.record("scanReportDir");
    vqs::scanReportDir(records_.settings.reportDir, records_.monitors, records_.targets);
    // The scan stops taking files when the list is full.
    const bool full = usedMonitorCount(records_.monitors) == kMonitorCapacity;
    noteMerge(full ? MergeResult::ListFull : MergeResult::None);
}

void LinkSession::markLinkClosed() {
    trace_.record("markLinkClosed");
    vqs::closeLink(records_.link.linkPort);
}

QString LinkSession::takeOverComNumber(const QString& typed) {
    trace_.record("takeOverComNumber");
    records_.settings.comSetting = vqs::takeOverComNumber(records_.link.linkPort, typed);
    return records_.settings.comSetting;
}

void LinkSession::closeLink() {
    trace_.record("closeLink");
    vqs::closeLink(records_.link.linkPort);
}

void LinkSession::disconnectMonitors() {
    trace_.record("disconnectMonitors");
    save_->cancel();
    vqs::disconnectMonitors(records_.link);
}

// ---- The measurement tick -------------------------------------------------------------------

void LinkSession::pushReading(float X, float Y, float Z) {
    vqs::pushReading(records_.link, records_.settings.networkIp, X, Y, Z);
}

void LinkSession::readLink() {
    vqs::readLink(records_.link.linkPort);
}

void LinkSession::serialReplyCheck() {
    const MergeResult merged =
        vqs::serialReplyCheck(records_.link, records_.monitors, records_.targets);
    if (merged == MergeResult::Added || merged == MergeResult::Updated) view_.monitorListChanged();
    noteMerge(merged);
}

void LinkSession::receiveDiscoveryReply() {
    const MergeResult merged = vqs::receiveDiscoveryReply(records_.link.datagrams, records_.monitors);
    if (merged == MergeResult::Added) view_.monitorListChanged();
    noteMerge(merged);
}

void LinkSession::paceDiscovery() {
    if (discoveryCountdown_ == 0) {
        vqs::sendDiscoveryRequest(records_.link.datagrams, records_.settings.networkIp);
        vqs::pushDate(records_.link, records_.settings.networkIp,
                      clock_.shortDate(clock_.today()));
        discoveryCountdown_ = kDiscoveryPeriodTicks;
    } else {
        --discoveryCountdown_;
    }
}

void LinkSession::networkPollStep() {
    if (vqs::networkPollStep(records_.link, records_.monitors, records_.targets))
        view_.monitorListChanged();
}

void LinkSession::tellConnectionFailures() {
    watchConnections(records_.link);
}

// A full list is told once, after the tick, and again only after it had room in between; what
// is listed stays.
void LinkSession::noteMerge(MergeResult result) {
    if (!listFull_.note(result, records_.monitors)) return;
    afterTick_.tell(PromptKind::Warning,
                    QStringLiteral("The monitor list is full (%1 entries): no further monitor or "
                                   "report file is listed. Applying the report directory, the "
                                   "COM port or the network address again removes their entries.")
                        .arg(kMonitorCapacity));
}

// ---- Patterns and the report folder ---------------------------------------------------------

void LinkSession::sendPatternToMonitor(const PatternScene& scene,
                                       std::optional<int> selectedDevice) {
    vqs::sendPatternToMonitor(records_.link, records_.monitors, selectedDevice, scene,
                              remotePatternOffCount_, records_.targets);
}

bool LinkSession::reloadReportDirIfDue() {
    if (!reportDirReloadPending_) return false;
    scanReportDir();
    reportDirReloadPending_ = false;
    return true;
}

// ---- The connection fields ------------------------------------------------------------------

void LinkSession::rereadReportDir() {
    removeMonitors(records_.monitors, kSourceFile);
    view_.monitorListChanged();
    // The folder is scanned on the next one-second tick.
    reloadReportDirSoon();
}

void LinkSession::applyReportDir(const QString& folder) {
    records_.settings.reportDir = folder;
    rereadReportDir();
}

QString LinkSession::applyComSetting(const QString& typed) {
    removeMonitors(records_.monitors, kSourceSerial);
    view_.monitorListChanged();
    return takeOverComNumber(typed);
}

void LinkSession::applyNetworkAddress(const QString& address) {
    records_.settings.networkIp = address;
    removeMonitors(records_.monitors, kSourceNetwork);
    view_.monitorListChanged();
}

// ---- "Save(To Monitor)" ---------------------------------------------------------------------

LinkSession::SaveStart LinkSession::startSave(const GridSelection& selection) {
    if (save_->isRunning()) return SaveStart::Running;
    Tcaldaten& working = records_.workingReport;
    working.repgamma = records_.settings.targetGamma;
    const MonitorList& monitors = records_.monitors;
    std::vector<SaveTarget> targets = saveTargets(
        monitors, selection, [&monitors](int row) { return recordAtRow(monitors, row); });
    if (targets.empty()) return SaveStart::NoLinkDevices;
    // The messages go out over the next seconds; the window stays responsive meanwhile.
    save_->start(std::move(targets), working, records_.targets,
                 [this](const SaveOutcome& outcome) { saveFinished(outcome); });
    return SaveStart::Started;
}

// Only a report every selected monitor received whole, and not changed since, counts as saved.
void LinkSession::saveFinished(const SaveOutcome& outcome) {
    view_.saveEnded();
    view_.monitorListChanged();
    if (!outcome.complete) {
        // The save ends on one of its own timer callbacks; the box comes after it.
        afterTick_.tell(PromptKind::Error, outcome.failure);
        return;
    }
    if (save_->sentAsIs(records_.workingReport)) records_.workingReport.unsaved = 0;
    view_.tellQuietly(outcome.monitorsSaved == 1
                          ? QStringLiteral("The report was sent to 1 monitor")
                          : QStringLiteral("The report was sent to %1 monitors")
                                .arg(outcome.monitorsSaved));
}

}  // namespace vqs
