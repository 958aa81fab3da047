#include "monitor_link/pattern_display.h"

#include "monitor_link/monitor_messages.h"

namespace vqs {

namespace {

QByteArray messageOf(const PatternRequest& p, int mode) {
    return patternMessage(mode, p.red, p.green, p.blue, p.name);
}

// The attached monitor is told to stop (when it can still hear it), then let go, so a monitor
// that went away does not keep the new one waiting.
void leaveAttachedMonitor(MonitorConnection& c, const PatternRequest& pattern) {
    if (c.client.state() == TcpClient::State::Connected)
        sendLine(c, messageOf(pattern, kPatternOff));
    disconnect(c);
    c.host.clear();
}

void showOnNetworkMonitor(MonitorConnection& c, const QString& source,
                          const PatternRequest& pattern) {
    if (!c.host.isEmpty() && c.host != source) {
        leaveAttachedMonitor(c, pattern);
        return;
    }
    if (c.host.isEmpty()) {
        connectTo(c, source);
        return;
    }
    switch (c.client.state()) {
        case TcpClient::State::Connected:
            sendLine(c, messageOf(pattern, pattern.mode));
            break;
        // Dropped or refused: connect again; the patch follows on the next call, as at first.
        case TcpClient::State::Unconnected:
            connectTo(c, source);
            break;
        // Not there yet: nothing piles up for a monitor that may never answer.
        default:
            break;
    }
}

}  // namespace

std::optional<PatternRequest> remotePattern(const PatternScene& scene, int& remotePatternOffCount,
                                            const PatchCatalogue& targets) {
    const int p = scene.slot;
    if (p < 0 || p > kLastSlot) return std::nullopt;
    if (scene.measurementStopped || p == kStartSlot || p == kStopSlot || scene.localWindowShown) {
        if (remotePatternOffCount <= 0) return std::nullopt;
        --remotePatternOffCount;
        return PatternRequest{};
    }
    remotePatternOffCount = kRemotePatternOffMessages;
    const Ttarget& t = targets[p];
    return PatternRequest{kPatternShow, t.r, t.g, t.b, t.name};
}

namespace {

const Tdevices* selectedRecord(const MonitorList& monitors, std::optional<int> selectedDevice) {
    if (!selectedDevice || *selectedDevice < 0 || *selectedDevice >= kMonitorCapacity)
        return nullptr;
    return &monitors[*selectedDevice];
}

// A save sending over the channel to the selected monitor: the pattern waits for its end.
// Switching to another network monitor waits too, as it would close the connection the save
// is using.
bool channelHeldBySave(const MonitorLink& link, const Tdevices& d) {
    if (d.sourceType == kSourceSerial) return link.heldForSave.serialLink;
    if (d.sourceType == kSourceNetwork) return !patternConnectionFree(link);
    return false;
}

}  // namespace

void showPatternOnMonitor(MonitorLink& link, const MonitorList& monitors,
                          std::optional<int> selectedDevice, const PatternRequest& pattern) {
    const Tdevices* d = selectedRecord(monitors, selectedDevice);
    if (!d || channelHeldBySave(link, *d)) return;
    if (d->sourceType == kSourceSerial) {
        if (isLinkOpen(link.linkPort)) writeLink(link.linkPort, messageOf(pattern, pattern.mode));
    } else if (d->sourceType == kSourceNetwork) {
        showOnNetworkMonitor(link.patternConnection, d->source, pattern);
    }
}

void sendPatternToMonitor(MonitorLink& link, const MonitorList& monitors,
                          std::optional<int> selectedDevice, const PatternScene& scene,
                          int& remotePatternOffCount, const PatchCatalogue& targets) {
    // What is owed stays owed while a save holds the channel: the off messages are not used up.
    const Tdevices* d = selectedRecord(monitors, selectedDevice);
    if (d && channelHeldBySave(link, *d)) return;
    if (const auto pattern = remotePattern(scene, remotePatternOffCount, targets))
        showPatternOnMonitor(link, monitors, selectedDevice, *pattern);
}

}  // namespace vqs
