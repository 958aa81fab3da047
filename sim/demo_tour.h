#pragma once
// The demo's walk through a measurement when nobody is at the screen: find the virtual CS-2000
// and the lab's monitors, show the patches in the test-pattern window, run Capture All and Capture
// DICOM, save the report, load it from the device grid, take screenshots along the way and close in
// order.

#include "app/application.h"
#include "sim/virtual_lab.h"

#include <QDir>
#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

namespace vqs::sim {

// The first row of a probe type in the probe list; -1 when there is none.
int probeRowOf(const ProbeList& probes, int32_t type);

class DemoTour final : public QObject {
    Q_OBJECT
  public:
    DemoTour(AppState& state, Windows& windows, VirtualLab& lab, const QDir& output);
    void start();

  private:
    struct Step {
        const char* what;
        std::function<bool()> ready;  // the step runs once this holds
        std::function<void()> run;
    };

    void advance();
    void screenshot(QWidget& window, const QString& name);
    void print(const QString& text);
    QString readout() const;
    QString zoomWindow() const;  // caption and client size of the zoom window
    bool runFinished() const;
    int reportRow() const;
    int deviceRow(const QString& source) const;
    void screenshotMonitor(const QString& address, const QString& name);
    QString deviceGrid() const;

    AppState& state_;
    Windows& windows_;
    VirtualLab& lab_;
    QDir output_;
    // The stand-in QSP720 in the second probe position: dark and brightness scans, then a few
    // patches beside the CS-2000 (demo_tour.cpp).
    std::vector<Step> qsp720Steps();
    QString secondReadout() const;
    // Every probe type on one patch: the library probes in turn beside the CS-2000, their
    // readings side by side, and a picture of the probe list (demo_tour_probes.cpp).
    std::vector<Step> fourProbeSteps();
    void screenshotProbeList(const QString& name);
    QStringList fourReadings_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    QTimer clock_;
    int waitedTicks_ = 0;
};

}  // namespace vqs::sim
