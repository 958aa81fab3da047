#pragma once
// Patches on the monitor under test: the monitor selected in the device grid is told the colour
// of the selected patch once a second, and told to stop (at most ten times) once the patch is
// withdrawn. A serial monitor hears it over the link; a network monitor over patternConnection,
// which moves from one monitor to the next over three calls: an off message to the old one and
// close, connect to the new one, then its patches.

#include "monitor_link/monitor_link.h"
#include "monitor_link/monitor_messages.h"
#include "tables/patch_catalogue.h"

#include <QString>

#include <optional>

namespace vqs {

// Pattern-off messages owed after a patch is withdrawn.
inline constexpr int kRemotePatternOffMessages = 10;

struct PatternRequest {
    int mode = kPatternOff;  // or kPatternShow
    int red = 255;
    int green = 255;
    int blue = 255;
    QString name;  // the patch's display name; empty for off
};

// What decides whether the selected monitor shows a patch.
struct PatternScene {
    int slot = -1;  // selected slot of the patch list; -1 when none
    bool measurementStopped = false;
    bool localWindowShown = false;  // the test-pattern window exists and is visible
};

// The message owed now: the patch of the selected slot (and the off count reloaded to 10), or,
// while the patch is withdrawn (stopped, slot 0 or 40, or the local window shown), an off
// message as long as the off count lasts. None when nothing is owed.
std::optional<PatternRequest> remotePattern(const PatternScene& scene, int& remotePatternOffCount,
                                            const PatchCatalogue& targets);

// Sends the pattern to the selected monitor (none: nothing). Never waits: a network monitor
// that is not connected yet, or has gone away, gets it on a later call; while a save sends over
// the channel the pattern would take (or, for a network monitor, over patternConnection, which a
// switch would close), nothing is sent and the next call after the save does it. Failures of the
// connection are told through its error handler, once per episode; leaving a monitor that went
// away still moves on to the new one.
void showPatternOnMonitor(MonitorLink& link, const MonitorList& monitors,
                          std::optional<int> selectedDevice, const PatternRequest& pattern);

// remotePattern, then showPatternOnMonitor with what is owed. Called once a second, at the start
// of an automatic run and after each capture step.
void sendPatternToMonitor(MonitorLink& link, const MonitorList& monitors,
                          std::optional<int> selectedDevice, const PatternScene& scene,
                          int& remotePatternOffCount, const PatchCatalogue& targets);

}  // namespace vqs
