#include "monitor_link/network_poll.h"

#include "data/report_file.h"
#include "monitor_link/monitor_link.h"
#include "monitor_link/monitor_messages.h"

namespace vqs {

namespace {

constexpr int kReplyTicks = kPollGivenUp - kPollAsked;

void askForReport(NetworkPoll& poll, MonitorConnection& c, TcpReplyText& reply, Tdevices& d) {
    connectTo(c, d.source);
    if (c.client.state() == TcpClient::State::Unconnected) {
        // Refused at once (no IPv4 address, or not loopback where only loopback is allowed).
        ++poll.cursor;
        return;
    }
    reply.clear();
    d.pollState = kPollAsked;
    poll.connectingTicks = 0;
    // A query queued on a connect that fails would fail once more; it waits for the connection.
    poll.queryOwed = c.client.state() != TcpClient::State::Connected;
    if (!poll.queryOwed) sendLine(c, kReportQueryLine);
}

// The connect did not get through: asked again when the cursor comes round.
void askLater(NetworkPoll& poll, MonitorConnection& c, Tdevices& d) {
    disconnect(c);
    d.pollState = kPollNew;
    ++poll.cursor;
}

// Another network record already holds this identity.
bool identityListedElsewhere(const MonitorList& monitors, int self, const Tcaldaten& report) {
    const int n = usedMonitorCount(monitors);
    for (int i = 0; i < n; ++i) {
        const Tdevices& other = monitors[i];
        if (i != self && other.sourceType == kSourceNetwork &&
            sameMonitorIdentity(other.report.devsnid, other.report.devname, report.devsnid,
                                report.devname))
            return true;
    }
    return false;
}

// Whether the report's identity replaces the record's. A report that names the monitor as far as
// a report can (its name bounded, cut before the first byte beyond ASCII) leaves the fuller one
// discovery gave, so the next discovery answer finds this record again. One that names another
// monitor renames the record, unless another record is that monitor already: a monitor whose
// report and answer disagree would otherwise gain a record at every answer.
bool takeReportIdentity(const MonitorList& monitors, int self, Tdevices& d, const QString& devsnid,
                        const QString& devname) {
    const bool renames =
        !sameMonitorIdentity(devsnid, devname, d.report.devsnid, d.report.devname) &&
        !identityListedElsewhere(monitors, self, d.report);
    if (!renames) {
        d.report.devsnid = devsnid;
        d.report.devname = devname;
    }
    return renames;
}

bool awaitReport(NetworkPoll& poll, MonitorConnection& c, TcpReplyText& reply,
                 MonitorList& monitors, const PatchCatalogue& targets) {
    Tdevices& d = monitors[poll.cursor];
    // The list changed under the cursor and the connection is another monitor's.
    if (c.host != d.source) {
        d.pollState = kPollNew;
        return false;
    }
    const bool connected = isConnected(c);
    if (poll.queryOwed) {
        if (connected) {
            poll.queryOwed = false;
            sendLine(c, kReportQueryLine);
        } else if (c.client.state() == TcpClient::State::Unconnected ||
                   ++poll.connectingTicks >= kReplyTicks) {
            askLater(poll, c, d);
        }
        return false;
    }
    // Connected, or dropped after the query: what arrived counts.
    const QString devsnid = d.report.devsnid;
    const QString devname = d.report.devname;
    takeArrived(c, reply);
    const bool complete = parseReport(reply.text, reply.text.size(), d.report, targets);
    const bool renamed = takeReportIdentity(monitors, poll.cursor, d, devsnid, devname);
    if (complete) {
        d.pollState = kPollDone;
        disconnect(c);
        ++poll.cursor;
    } else {
        ++d.pollState;
    }
    return renamed;
}

}  // namespace

bool networkPollStep(NetworkPoll& poll, MonitorConnection& pollConnection, TcpReplyText& reply,
                     MonitorList& monitors, const PatchCatalogue& targets) {
    // Each pass either stops or moves the cursor on, so a full list is crossed in one step.
    for (int pass = 0; pass <= kMonitorCapacity; ++pass) {
        if (poll.cursor < 0 || poll.cursor >= kMonitorCapacity ||
            monitors[poll.cursor].sourceType == kSourceEmpty) {
            poll.cursor = 0;
            return false;
        }
        Tdevices& d = monitors[poll.cursor];
        if (d.sourceType != kSourceNetwork) {
            ++poll.cursor;
        } else if (d.pollState == kPollNew) {
            askForReport(poll, pollConnection, reply, d);
            return false;
        } else if (d.pollState >= kPollAsked && d.pollState < kPollGivenUp) {
            return awaitReport(poll, pollConnection, reply, monitors, targets);
        } else if (d.pollState == kPollGivenUp) {
            disconnect(pollConnection);
            ++poll.cursor;
        } else {
            // Done, or a state this query never sets.
            ++poll.cursor;
        }
    }
    return false;
}

bool networkPollStep(MonitorLink& link, MonitorList& monitors, const PatchCatalogue& targets) {
    return networkPollStep(link.networkPoll, link.pollConnection, link.tcpReply, monitors, targets);
}

void forgetPollReply(MonitorLink& link, MonitorList& monitors, int index) {
    if (index < 0 || index >= kMonitorCapacity) return;
    Tdevices& d = monitors[index];
    if (d.sourceType != kSourceNetwork || d.pollState < kPollAsked || d.pollState >= kPollGivenUp)
        return;
    d.pollState = kPollDone;
    NetworkPoll& poll = link.networkPoll;
    if (poll.cursor != index) return;
    disconnect(link.pollConnection);
    link.tcpReply.clear();
    poll.queryOwed = false;
}

}  // namespace vqs
