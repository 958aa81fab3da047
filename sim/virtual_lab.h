#pragma once
// The virtual lab: a display model and the instruments that measure it, steered through a
// line-based control channel:
//   show R G B          drive levels 0..255 of the colour the display shows
//   white X Y           white point chromaticity of the display
//   fault NAME          none, silence, error, short, split, garbage, vanish, double
//   measure-ms N        measuring time of the CS-2000
//   status              the shown colour and its X, Y, Z

#include "sim/cs2000_emulator.h"
#include "sim/display_model.h"
#include "sim/virtual_network_monitor.h"
#include "sim/virtual_serial_monitor.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace vqs::sim {

class VirtualLab final : public QObject {
    Q_OBJECT
  public:
    explicit VirtualLab(QObject* parent = nullptr);

    // Publishes the CS-2000 as COM n in the serial folder.
    bool startCs2000(int comNumber);
    // A network monitor on its own loopback address (127.0.0.2, ...); the reason when it fails.
    QString startNetworkMonitor(const QString& address, const QByteArray& name,
                                const QByteArray& serial);
    // The serial monitor as COM n in the serial folder; the reason when it fails.
    QString startSerialMonitor(int comNumber);
    // A running network monitor by its address; null when there is none.
    VirtualNetworkMonitor* networkMonitor(const QString& address);

    DisplayModel& display() { return display_; }
    Cs2000Emulator& cs2000() { return cs2000_; }

    // Carries out one control line; the answer says what happened or what was wrong.
    QString command(const QString& line);

  private:
    DisplayModel display_;
    Cs2000Emulator cs2000_;
    std::vector<std::unique_ptr<VirtualNetworkMonitor>> networkMonitors_;
    std::unique_ptr<VirtualSerialMonitor> serialMonitor_;
};

}  // namespace vqs::sim
