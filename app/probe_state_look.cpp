#include "app/probe_state_look.h"

namespace vqs {

namespace {

const QColor kLiveColour(0x50, 0xDC, 0x50);
const QColor kWaitingColour(0xFF, 0xBF, 0x00);
const QColor kSilentColour(0xFF, 0x50, 0x50);
const QString kDot = QStringLiteral("\u25cf ");

}  // namespace

ProbeStateLook probeStateLook(const ProbeFreshness& freshness, int position) {
    switch (freshness.liveness()) {
        case ProbeLiveness::NoProbe:
            if (position != 1) return {};
            return {kDot + QStringLiteral("no probe"), kStaleReadoutColour,
                    QStringLiteral("No probe is chosen in position 1: the values shown are not "
                                   "a reading. Choose a probe in the first probe list.")};
        case ProbeLiveness::Waiting:
            return {kDot + QStringLiteral("waiting"), kWaitingColour,
                    QStringLiteral("Probe %1 has not delivered its first reading yet.")
                        .arg(position)};
        case ProbeLiveness::Live:
            return {kDot + QStringLiteral("live"), kLiveColour,
                    QStringLiteral("Probe %1 delivers readings.").arg(position)};
        case ProbeLiveness::Silent: break;
    }
    const int64_t seconds = freshness.quietMs() / 1000;
    const QString why =
        freshness.reachable()
            ? QStringLiteral("a reading is overdue by several of its own intervals")
            : QStringLiteral("its port is gone: check the cable or the adapter");
    return {kDot + QStringLiteral("silent for %1 s").arg(seconds), kSilentColour,
            QStringLiteral("Probe %1 has delivered no reading for %2 s: %3. The values shown "
                           "are not current.")
                .arg(position)
                .arg(seconds)
                .arg(why)};
}

}  // namespace vqs
