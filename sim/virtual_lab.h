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
#include "sim/qsp720_standin_control.h"
#include "sim/standin_probes.h"
#include "sim/virtual_network_monitor.h"
#include "sim/virtual_serial_monitor.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace vqs {
class VendorLibrary;
}

namespace vqs::sim {

class VirtualLab final : public QObject {
    Q_OBJECT
  public:
    explicit VirtualLab(QObject* parent = nullptr);
    ~VirtualLab() override;

    // Publishes the CS-2000 as COM n in the serial folder.
    bool startCs2000(int comNumber);
    // A network monitor on its own loopback address (127.0.0.2, ...); the reason when it fails.
    QString startNetworkMonitor(const QString& address, const QByteArray& name,
                                const QByteArray& serial);
    // The serial monitor as COM n in the serial folder; the reason when it fails.
    QString startSerialMonitor(int comNumber);
    // A running network monitor by its address; null when there is none.
    VirtualNetworkMonitor* networkMonitor(const QString& address);

    // The stand-in QSP720 library (libqsp72XP.so, built beside the lab): points the program's
    // probe library search at it unless $VQS_PROBE_LIBRARY_DIR already names a folder, loads it
    // and lets its detector see the display. Call before the main window opens its drivers.
    // False when the library or its control entries are missing.
    bool startQsp720();
    void coverQsp720(bool covered);     // a covered probe sees darkness (dark scans)
    void setQsp720Fault(int fault);     // VqsSimQsp720Fault of sim/qsp720_standin_control.h
    void setQsp720TimeScale(double scale);
    // The calibration file made for the stand-in's detector.
    static QString qsp720CalFile();

    // The stand-in CS-200 and JETI libraries (sim/standin_probes.h), with `instruments` plugged in
    // that look at the display. Call before the main window opens its drivers.
    bool startCs200(int instruments = 1) { return cs200StandIn_.start(display_, instruments); }
    bool startJeti(int instruments = 1) { return jetiStandIn_.start(display_, instruments); }
    Cs200StandIn& cs200StandIn() { return cs200StandIn_; }
    JetiStandIn& jetiStandIn() { return jetiStandIn_; }

    DisplayModel& display() { return display_; }
    Cs2000Emulator& cs2000() { return cs2000_; }

    // Carries out one control line; the answer says what happened or what was wrong.
    QString command(const QString& line);

  private:
    DisplayModel display_;
    Cs2000Emulator cs2000_;
    std::vector<std::unique_ptr<VirtualNetworkMonitor>> networkMonitors_;
    std::unique_ptr<VirtualSerialMonitor> serialMonitor_;
    // The stand-in's control entries, resolved once: the program's loader may let go of the
    // library meanwhile, its code stays mapped.
    struct Qsp720Controls {
        VqsSimQsp720SetRadianceSourceFn setRadianceSource = nullptr;
        VqsSimQsp720SetIntFn setCovered = nullptr;
        VqsSimQsp720SetIntFn setFault = nullptr;
        VqsSimQsp720SetTimeScaleFn setTimeScale = nullptr;
    };
    std::unique_ptr<VendorLibrary> qsp720_;  // the stand-in, while the lab steers it
    Qsp720Controls qsp720Controls_;
    // Declared after the display: they stop looking at it before it goes.
    Cs200StandIn cs200StandIn_;
    JetiStandIn jetiStandIn_;
};

}  // namespace vqs::sim
