#include "monitor_link/downstream_save.h"

#include "monitor_link/monitor_messages.h"
#include "monitor_link/network_poll.h"
#include "monitor_link/serial_reply.h"

#include <QTimer>

#include <algorithm>
#include <optional>

namespace vqs {

namespace {

constexpr int kConnectLookMs = 10;

bool isLinkMonitor(int32_t sourceType) {
    return sourceType == kSourceSerial || sourceType == kSourceNetwork;
}

// The record of the target now: where it was, else wherever its identity is.
std::optional<int> findTarget(const MonitorList& monitors, const SaveTarget& t) {
    auto same = [&](const Tdevices& d) {
        return d.sourceType == t.sourceType &&
               sameMonitorIdentity(d.report.devsnid, d.report.devname, t.devsnid, t.devname);
    };
    if (t.index >= 0 && t.index < kMonitorCapacity && same(monitors[t.index])) return t.index;
    const int n = usedMonitorCount(monitors);
    for (int i = 0; i < n; ++i)
        if (same(monitors[i])) return i;
    return std::nullopt;
}

QString failureText(const QString& source, const QString& reason) {
    return QStringLiteral("The report could not be sent to %1: %2").arg(source, reason);
}

}  // namespace

std::vector<SaveTarget> saveTargets(const MonitorList& monitors, const GridSelection& selection,
                                    const RowLookup& recordOfRow) {
    std::vector<SaveTarget> targets;
    DeviceCursor cursor;
    while (const auto index = nextSelectedDevice(cursor, selection, recordOfRow)) {
        if (*index < 0 || *index >= kMonitorCapacity) continue;
        const Tdevices& d = monitors[*index];
        if (isLinkMonitor(d.sourceType))
            targets.push_back({*index, d.sourceType, d.source, d.report.devsnid, d.report.devname});
    }
    return targets;
}

std::vector<SaveStep> saveSchedule(const Tcaldaten& report, const PatchCatalogue& targets,
                                   int lastResultSlot) {
    std::vector<SaveStep> steps;
    steps.push_back({saveDateMessage(report.repdate)});
    steps.push_back({saveGammaMessage(report.repgamma)});
    for (int slot = 1; slot <= std::min(lastResultSlot, kLastSlot); ++slot)
        if (isPatchSlot(slot))
            steps.push_back({saveResultMessage(targets[slot].key, report.xyz[slot]), true});
    steps.push_back({kSaveEnd});
    return steps;
}

DownstreamSave::DownstreamSave(MonitorLink& link, MonitorList& monitors)
    : link_(link), monitors_(monitors), timer_(std::make_unique<QTimer>()) {
    timer_->setSingleShot(true);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { run(); });
}

DownstreamSave::~DownstreamSave() {
    cancel();
}

bool DownstreamSave::start(std::vector<SaveTarget> targets, const Tcaldaten& report,
                           const PatchCatalogue& catalogue, Finished finished) {
    if (running_ || targets.empty()) return false;
    targets_ = std::move(targets);
    report_ = report;
    catalogue_ = catalogue;
    finished_ = std::move(finished);
    outcome_ = {};
    next_ = 0;
    inMonitor_ = false;
    running_ = true;
    later(0);
    return true;
}

bool DownstreamSave::sentAsIs(const Tcaldaten& working) const {
    auto same = [](const XyzTriple& a, const XyzTriple& b) {
        return a.X == b.X && a.Y == b.Y && a.Z == b.Z;
    };
    return working.repdate == report_.repdate && working.repgamma == report_.repgamma &&
           std::equal(working.xyz.begin(), working.xyz.end(), report_.xyz.begin(), same);
}

void DownstreamSave::cancel() {
    timer_->stop();
    if (running_ && inMonitor_ && channel_ == Channel::Save) disconnect(link_.saveConnection);
    releaseChannel();
    running_ = false;
    finished_ = nullptr;
}

void DownstreamSave::holdChannel() {
    if (channel_ == Channel::Serial) link_.heldForSave.serialLink = true;
    if (channel_ == Channel::Pattern) link_.heldForSave.patternConnection = true;
}

// Whatever the serial monitor sent during the save answered a query asked before it ended.
void DownstreamSave::releaseChannel() {
    if (link_.heldForSave.serialLink) dropSerialReply(link_.linkPort);
    link_.heldForSave = {};
}

void DownstreamSave::later(int milliseconds) {
    timer_->start(milliseconds);
}

// Runs until the next pause, or to the end.
void DownstreamSave::run() {
    while (running_) {
        if (!inMonitor_) {
            if (next_ >= targets_.size()) {
                finish();
                return;
            }
            if (!beginMonitor()) continue;
        }
        if (connecting_ && !awaitSaveConnection()) return;
        if (!sendUntilPause()) return;
        endMonitor();
    }
}

bool DownstreamSave::beginMonitor() {
    const SaveTarget& t = targets_[next_++];
    step_ = 0;
    connecting_ = false;
    if (t.sourceType == kSourceSerial) {
        if (!isLinkOpen(link_.linkPort)) {
            // Nothing sent: this monitor does not hold the report, so the save is not complete.
            noteFailure(QStringLiteral("the serial link is closed"));
            return false;
        }
        channel_ = Channel::Serial;
        steps_ = saveSchedule(report_, catalogue_, kLastSlot);
    } else {
        beginNetworkMonitor(t.source);
    }
    holdChannel();
    inMonitor_ = true;
    return true;
}

void DownstreamSave::beginNetworkMonitor(const QString& source) {
    const MonitorConnection& pattern = link_.patternConnection;
    if (pattern.host == source && pattern.client.state() == TcpClient::State::Connected) {
        channel_ = Channel::Pattern;
        steps_ = saveSchedule(report_, catalogue_, kLastSlot);
        return;
    }
    channel_ = Channel::Save;
    steps_ = saveSchedule(report_, catalogue_, kLastSlotOverSaveConnection);
    failuresBefore_ = link_.saveConnection.client.failures();
    connectWaitedMs_ = 0;
    connecting_ = true;
    connectTo(link_.saveConnection, source);
}

bool DownstreamSave::awaitSaveConnection() {
    MonitorConnection& c = link_.saveConnection;
    if (isConnected(c)) {
        connecting_ = false;
        return true;
    }
    if (c.client.failures() != failuresBefore_ ||
        c.client.state() == TcpClient::State::Unconnected) {
        fail(c.client.errorText().isEmpty() ? QStringLiteral("no connection")
                                            : c.client.errorText());
        return false;
    }
    if (connectWaitedMs_ >= kSaveConnectLimitMs) {
        fail(QStringLiteral("no answer to the connect"));
        return false;
    }
    connectWaitedMs_ += kConnectLookMs;
    later(kConnectLookMs);
    return false;
}

// Sends up to the next pause; true when the monitor's last message went out.
bool DownstreamSave::sendUntilPause() {
    while (step_ < steps_.size()) {
        const SaveStep& s = steps_[step_++];
        if (const auto failure = send(s.message)) {
            fail(*failure);
            return false;
        }
        if (s.pauseAfter && step_ < steps_.size()) {
            later(kSavePauseMs);
            return false;
        }
    }
    return true;
}

// Why the message could not be sent; none when it was.
std::optional<QString> DownstreamSave::send(const QByteArray& message) {
    if (channel_ == Channel::Serial) {
        if (writeLink(link_.linkPort, message)) return std::nullopt;
        return isLinkOpen(link_.linkPort) ? QStringLiteral("the serial link did not take it")
                                          : QStringLiteral("the serial link was closed");
    }
    MonitorConnection& c =
        channel_ == Channel::Pattern ? link_.patternConnection : link_.saveConnection;
    // The pattern display may have moved patternConnection to another monitor meanwhile.
    if (c.host != targets_[next_ - 1].source || c.client.state() != TcpClient::State::Connected)
        return QStringLiteral("the connection was lost");
    if (sendLine(c, message)) return std::nullopt;
    return c.client.errorText();
}

void DownstreamSave::endMonitor() {
    if (channel_ == Channel::Save) disconnect(link_.saveConnection);
    const SaveTarget& t = targets_[next_ - 1];
    if (const auto index = findTarget(monitors_, t)) {
        storeReportInMonitor(monitors_, *index, report_);
        forgetPollReply(link_, monitors_, *index);
    }
    releaseChannel();
    ++outcome_.monitorsSaved;
    inMonitor_ = false;
}

void DownstreamSave::noteFailure(const QString& reason) {
    outcome_.complete = false;
    if (!outcome_.failure.isEmpty()) outcome_.failure += QLatin1Char('\n');
    outcome_.failure += failureText(targets_[next_ - 1].source, reason);
}

// A connection or the link failed: the rest of the selection is not processed.
void DownstreamSave::fail(const QString& reason) {
    if (inMonitor_ && channel_ == Channel::Save) disconnect(link_.saveConnection);
    noteFailure(reason);
    finish();
}

void DownstreamSave::finish() {
    timer_->stop();
    releaseChannel();
    running_ = false;
    inMonitor_ = false;
    // Last: the window may show a box whose event loop runs further ticks.
    Finished finished = std::move(finished_);
    finished_ = nullptr;
    if (finished) finished(outcome_);
}

}  // namespace vqs
