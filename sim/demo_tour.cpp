#include "sim/demo_tour.h"

#include "app/chart_area.h"
#include "sim/demo_report.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

#include <cstdio>

namespace vqs::sim {

namespace {

constexpr int kStepCheckMs = 500;
constexpr int kGiveUpChecks = 600;  // five minutes for any one step
constexpr int kEbu8Slot = 32;
const QString kRemoteMonitor = QStringLiteral("127.0.0.2");

}  // namespace

int probeRowOf(const ProbeList& probes, int32_t type) {
    for (int row = 0; row < kProbeRows; ++row)
        if (probes[row].type == type) return row;
    return -1;
}

DemoTour::DemoTour(AppState& state, Windows& windows, VirtualLab& lab, const QDir& output)
    : state_(state), windows_(windows), lab_(lab), output_(output) {
    // The virtual display shows what the test-pattern window shows.
    connect(windows_.form2.get(), &TForm2::patchShown, this,
            [this](const QColor& colour) { lab_.display().show(colour); });
    TForm1& form = *windows_.form1;
    auto after = [this](int checks) { return [this, checks] { return waitedTicks_ >= checks; }; };
    steps_ = {
        // The stand-in QSP720 is listed first, when it is there: the CS-2000 is picked by type.
        {"find the virtual CS-2000", [this] { return probeRowOf(*state_.probes, kProbeCs2000) >= 0; },
         [this, &form] {
             form.firstSM->setCurrentIndex(probeRowOf(*state_.probes, kProbeCs2000));
             form.firstSMChange();
             print("found " + form.firstSM->currentText());
         }},
        {"look for the lab's network monitors", after(1),
         [&form] {
             // The store starts on 127.0.0.1, which reaches one monitor; the loopback broadcast
             // reaches every monitor of the lab, as a LAN broadcast would in a studio.
             form.editNetworkIP->setText(QStringLiteral("127.255.255.255"));
             form.applyNetworkAddress();
         }},
        {"measure live", after(6),
         [this, &form] {
             print("probe 1 live on the display's white: " + readout());
             screenshot(form, "main-window-live.png");
         }},
        {"show the pattern", after(1),
         [&form] {
             form.selectSlot(kEbu8Slot);
             form.colorsgsgroupClick();
             form.Button2Click();
         }},
        {"measure EBU8", after(6),
         [this, &form] {
             print("probe 1 on EBU8 in the test-pattern window: " + readout());
             screenshot(form, "main-window-ebu8.png");
             screenshot(*windows_.form2, "test-pattern-window.png");
         }},
        {"Capture All", after(1),
         [&form] {
             form.editDevsnid->setText("VM-0001");
             form.editDevname->setText("Virtual BT.709");
             form.storeAllClick();
         }},
        {"Capture DICOM", [this] { return runFinished(); },
         [this, &form] {
             print("Capture All done");
             form.storeGreyscalesClick();
         }},
        {"Save(To File)", [this] { return runFinished(); },
         [this, &form] {
             print("Capture DICOM done");
             form.btnSaveClick();
         }},
        {"load the report from the device grid", [this] { return reportRow() >= 0; },
         [this, &form] {
             print("device grid: " + deviceGrid());
             const int row = reportRow();
             form.StringGrid1->setCurrentCell(row, 0);
             form.StringGrid1Click();
             print("saved and listed: " + form.StringGrid1->item(row, 2)->text());
             print("grey scale: " + form.grygrading->text());
             print("EBU colours: " + form.ebucolgrading->text());
         }},
        {"print the report", after(1),
         [this, &form] {
             printDemoReport(form, output_, [this](const QString& text) { print(text); });
         }},
        {"show the patches on a network monitor", after(2),
         [this, &form] {
             VirtualNetworkMonitor* studio = lab_.networkMonitor(kRemoteMonitor);
             if (studio == nullptr) return print("no network monitor in the lab");
             // From here the probe looks at the network monitor's screen, not the window's.
             windows_.form2->hide();
             connect(studio, &VirtualNetworkMonitor::patternShown, this,
                     [this](const QColor& colour) { lab_.display().show(colour); });
             form.StringGrid1->setCurrentCell(deviceRow(kRemoteMonitor), 0);
             form.selectSlot(kStartSlot);
             form.colorsgsgroupClick();
             form.selectSlot(kFirstPrimarySlot);
             form.colorsgsgroupClick();
         }},
        {"Capture All on the network monitor",
         [this] { return lab_.display().shown() == QColor(255, 0, 0); },
         [this, &form] {
             print("the network monitor shows Red; Capture All with its patches");
             form.editDevsnid->setText("VM-NET-2");
             form.editDevname->setText("Studio A");
             form.storeAllClick();
         }},
        {"the network monitor shows EBU8", [&form] { return form.selectedSlot() == kEbu8Slot; },
         [this] { screenshotMonitor(kRemoteMonitor, "network-monitor-ebu8.png"); }},
        {"Save(To Monitor)", [this] { return runFinished(); },
         [this, &form] {
             print("Capture All on the network monitor done; grading " + form.grygrading->text());
             form.StringGrid1->setCurrentCell(deviceRow(kRemoteMonitor), 0);
             form.btnDownstreamClick();
         }},
        {"saved to the network monitor",
         [this, &form] {
             const VirtualNetworkMonitor* studio = lab_.networkMonitor(kRemoteMonitor);
             return form.btnDownstream->isEnabled() && studio != nullptr &&
                    studio->savesStored() > 0;
         },
         [this, &form] {
             print("saved to " + kRemoteMonitor + "; device grid: " + deviceGrid());
             screenshot(form, "main-window-monitors.png");
         }},
        {"switch the diagram to x, y", after(1),
         [this, &form] {
             form.cieGraphDblClick();
             screenshot(form, "main-window-xy.png");
         }},
        {"step the spectral panel through its six views", after(2),
         [this, &form] {
             for (int step = 0; step < 6; ++step) {
                 form.SpectralGraphDblClick();
                 screenshot(*form.SpectralGraph,
                            QStringLiteral("spectral-view-%1.png").arg(state_.spectralView));
             }
         }},
        {"zoom on the grey scale", after(1),
         [this, &form] {
             form.showChartButtons(kGreyScaleTag, form.grayScaleGraph);
             form.spdBtnZoomIn->click();
             windows_.form3->resize(800, 400);  // the tolerance panel keeps itself square
         }},
        {"look at the grey-scale zoom", after(2),
         [this] {
             print(zoomWindow());
             screenshot(*windows_.form3, "zoom-grey-scale.png");
         }},
        {"zoom on the spectral panel", after(1),
         [this, &form] {
             form.showChartButtons(kSpectralTag, form.SpectralGraph);
             form.spdBtnZoomIn->click();
             windows_.form3->resize(1000, 450);
         }},
        {"look at the spectral zoom", after(2),
         [this] {
             print(zoomWindow());
             screenshot(*windows_.form3, "zoom-spectral.png");
         }},
        {"save the spectrum and a picture of the diagram", after(1),
         [this, &form] {
             form.showChartButtons(kCieTag, form.cieGraph);
             form.spdBtnSaveClick();
             form.spdBtnSaveMouseDown();
             print("picture of the diagram: " + form.chartWindow().lastPicturePath());
         }},
        // The next CS-2000 reading is logged; a probe that no longer reads leaves the flag set.
        {"log the next reading",
         [this, &form] { return !form.probes().logNextMeasurement() || waitedTicks_ > 20; },
         [this, &form] {
             const QStringList files = output_.entryList(
                 {QStringLiteral("LOGFILE_*.txt"), QStringLiteral("SPECTRUM_*.txt")}, QDir::Files);
             print((form.probes().logNextMeasurement() ? "no reading logged; "
                                                       : "reading logged; ") +
                   files.join(", "));
         }},
        {"close", after(2),
         [this, &form] {
             screenshot(form, "main-window-overview.png");
             screenshot(*windows_.form3, "zoom-window.png");
             form.close();
             print("closed in order: " + form.stepTrace().join(", "));
             QApplication::quit();
         }},
    };
    // The spectrometer's scans and patches come right after the CS-2000 is found.
    const std::vector<Step> spectrometer = qsp720Steps();
    steps_.insert(steps_.begin() + 1, spectrometer.begin(), spectrometer.end());
    // Then every probe type on one patch.
    const std::vector<Step> allProbes = fourProbeSteps();
    steps_.insert(steps_.begin() + 1 + static_cast<std::ptrdiff_t>(spectrometer.size()),
                  allProbes.begin(), allProbes.end());
    clock_.setInterval(kStepCheckMs);
    connect(&clock_, &QTimer::timeout, this, &DemoTour::advance);
}

void DemoTour::start() {
    clock_.start();
}

void DemoTour::advance() {
    if (next_ >= steps_.size()) return clock_.stop();
    Step& step = steps_[next_];
    ++waitedTicks_;
    if (!step.ready()) {
        if (waitedTicks_ < kGiveUpChecks) return;
        print(QStringLiteral("gave up waiting to %1").arg(step.what));
        windows_.form1->close();
        QApplication::exit(1);
        return;
    }
    step.run();
    waitedTicks_ = 0;
    ++next_;
}

bool DemoTour::runFinished() const {
    return windows_.form1->capture().countdown() == 0 && state_.measurementStopped;
}

void DemoTour::screenshot(QWidget& window, const QString& name) {
    const QString path = output_.filePath(name);
    if (window.grab().save(path))
        print("wrote " + path);
    else
        print("could not write " + path);
}

QString DemoTour::zoomWindow() const {
    const TForm3& zoom = *windows_.form3;
    return QStringLiteral("zoom window \"%1\" at %2 x %3")
        .arg(zoom.windowTitle())
        .arg(zoom.width())
        .arg(zoom.height());
}

void DemoTour::print(const QString& text) {
    std::printf("demo: %s\n", qPrintable(text));
    std::fflush(stdout);
}

// The grid row of a monitor by its source; -1 when it is not listed.
int DemoTour::deviceRow(const QString& source) const {
    const QTableWidget& grid = *windows_.form1->StringGrid1;
    for (int row = 0; row < grid.rowCount(); ++row)
        if (grid.item(row, 2) && grid.item(row, 2)->text() == source) return row;
    return -1;
}

// What a virtual monitor's screen shows, as a picture with its colour and the patch's name.
void DemoTour::screenshotMonitor(const QString& address, const QString& name) {
    QImage screen(320, 180, QImage::Format_RGB32);
    screen.fill(lab_.display().shown());
    QPainter painter(&screen);
    painter.setPen(Qt::white);
    painter.drawText(screen.rect().adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("virtual monitor %1").arg(address));
    painter.end();
    const QString path = output_.filePath(name);
    print((screen.save(path) ? QStringLiteral("wrote ") : QStringLiteral("could not write ")) +
          path);
}

// The row of the saved report: the one whose source is a report file.
int DemoTour::reportRow() const {
    const QTableWidget& grid = *windows_.form1->StringGrid1;
    for (int row = 0; row < grid.rowCount(); ++row)
        if (grid.item(row, 2) && grid.item(row, 2)->text().endsWith(QLatin1String(".txt")))
            return row;
    return -1;
}

QString DemoTour::deviceGrid() const {
    const QTableWidget& grid = *windows_.form1->StringGrid1;
    QStringList rows;
    for (int row = 0; row < grid.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < grid.columnCount(); ++column)
            cells << (grid.item(row, column) ? grid.item(row, column)->text() : QString());
        rows << cells.join(QStringLiteral(" | "));
    }
    return rows.join(QStringLiteral("; "));
}

QString DemoTour::readout() const {
    QStringList values;
    for (const char* name : {"_XYZ_Xvalue", "_XYZ_Yvalue", "_XYZ_Zvalue", "_xyCCT_xvalue",
                             "_xyCCT_yvalue", "_xyCCT_CCTvalue"})
        values << windows_.form1->findChild<QLabel*>(QString::fromLatin1(name))->text();
    return values.join(' ');
}

// ---- The stand-in QSP720 beside the CS-2000 ----------------------------------------------------

std::vector<DemoTour::Step> DemoTour::qsp720Steps() {
    TForm1& form = *windows_.form1;
    auto after = [this](int checks) { return [this, checks] { return waitedTicks_ >= checks; }; };
    auto qsp720Row = [this] { return probeRowOf(*state_.probes, kProbeQsp720); };
    auto scanOver = [this, &form] {
        return [this, &form] { return form.probes().qsp720().calScanStep() == 0 && waitedTicks_ >= 4; };
    };
    auto present = [qsp720Row] { return qsp720Row() >= 0; };
    // A step that only runs with the spectrometer there.
    auto withQsp720 = [present](std::function<void()> run) {
        return [present, run] {
            if (present()) run();
        };
    };
    struct Patch {
        const char* name;
        QColor colour;
    };
    static const Patch kPatches[] = {{"white", QColor(235, 235, 235)},
                                     {"red", QColor(235, 0, 0)},
                                     {"green", QColor(0, 235, 0)},
                                     {"blue", QColor(0, 0, 235)},
                                     {"grey 50 %", QColor(176, 176, 176)}};
    std::vector<Step> steps = {
        {"cover the QSP720 in the second position", after(1),
         [this, &form, qsp720Row] {
             const int row = qsp720Row();
             if (row < 0) return print("no stand-in QSP720 listed");
             form.scndSM->setCurrentIndex(row + 1);
             form.scndSMChange();
             form.scndSMRange->setCurrentIndex(0);  // Auto: a covered probe goes to Dark
             form.scndSMRangeChange();
             lab_.coverQsp720(true);
             print("QSP720 " + form.scndSM->currentText() + " in position 2, covered; " +
                   (*state_.probes)[row].calStatus);
         }},
        {"dark scan of the QSP720",
         [this, qsp720Row] {
             const int row = qsp720Row();
             return row < 0 || (waitedTicks_ >= 6 && (*state_.probes)[row].lastY <= 20.0f);
         },
         withQsp720([this, &form] {
             print("QSP720 covered: " + secondReadout() + "; CalScan");
             form.secondSMDarkClick();
         })},
        {"brightness scan of the QSP720", scanOver(),
         withQsp720([this] {
             print("dark scan done");
             lab_.coverQsp720(false);
             lab_.display().show(QColor(140, 140, 140));  // bright enough, and no pixel clips
         })},
        {"start the brightness scan",
         [this, qsp720Row] {
             const int row = qsp720Row();
             return row < 0 || (waitedTicks_ >= 8 && (*state_.probes)[row].lastY > 20.0f);
         },
         withQsp720([this, &form] {
             print("QSP720 on a grey: " + secondReadout() + "; CalScan");
             form.secondSMDarkClick();
         })},
        {"brightness scan done", scanOver(),
         withQsp720([this, &form, qsp720Row] {
             const auto& f = (*state_.probes)[qsp720Row()].rangeFactor;
             print(QStringLiteral("range factors %1 %2 %3 %4, Y before the scan %5")
                       .arg(f[1], 0, 'f', 4)
                       .arg(f[2], 0, 'f', 4)
                       .arg(f[3], 0, 'f', 4)
                       .arg(f[4], 0, 'f', 4)
                       .arg(f[5], 0, 'f', 2));
             // Medium holds every patch of the display unclipped: no hunting between ranges.
             form.scndSMRange->setCurrentIndex(3);
             form.scndSMRangeChange();
         })},
    };
    for (const Patch& patch : kPatches) {
        steps.push_back({"show a patch to both probes", after(1), withQsp720([this, patch] {
                             lab_.display().show(patch.colour);
                         })});
        // Two whole results of the new patch, none announcing a change of range.
        steps.push_back({"read both probes",
                         [this, qsp720Row] {
                             return qsp720Row() < 0 ||
                                    (waitedTicks_ >= 8 &&
                                     !state_.probe2.spectrum.label.startsWith("Change"));
                         },
                         withQsp720([this, patch] {
                             print(QStringLiteral("%1: CS-2000 %2 | QSP720 %3")
                                       .arg(QString::fromLatin1(patch.name), readout(),
                                            secondReadout()));
                         })});
    }
    steps.push_back({"picture of both probes", after(1), withQsp720([this, &form] {
                         screenshot(form, "main-window-qsp720.png");
                         lab_.display().show(QColor(235, 235, 235));
                     })});
    return steps;
}

QString DemoTour::secondReadout() const {
    QStringList values;
    for (const char* name : {"_XYZ_Xvalue2", "_XYZ_Yvalue2", "_XYZ_Zvalue2", "_xyCCT_xvalue2",
                             "_xyCCT_yvalue2", "_xyCCT_CCTvalue2"})
        values << windows_.form1->findChild<QLabel*>(QString::fromLatin1(name))->text();
    return values.join(' ') + " (" + state_.probe2.spectrum.label + ")";
}

}  // namespace vqs::sim
