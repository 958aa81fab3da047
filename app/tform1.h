#pragma once
// The main window: live readouts, charts, the patch list, capture, probe and report controls.
// It is a view: its controls, their layout and their handlers, each of which reads its
// controls, calls an operation of a session and shows the result. The state and rhythm of the
// probes, the monitor link, capture and the chart window live in their sessions.

#include "app/app_services.h"
#include "app/app_state.h"
#include "capture/capture_session.h"
#include "charts/chart_window_session.h"
#include "charts/zoom_chart.h"
#include "monitor_link/link_session.h"
#include "platform/after_tick.h"
#include "platform/step_trace.h"
#include "probes/probe_session.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;
class QToolButton;

namespace vqs {

class ChartArea;
class ConnectionFields;
class MainWindowViews;
class PatchListWidget;
class ReportDocument;
class TForm2;
class TForm3;

// The labels of one probe's readout.
struct ReadoutLabels {
    QLabel* x = nullptr;
    QLabel* y = nullptr;
    QLabel* cct = nullptr;
    QLabel* u = nullptr;
    QLabel* v = nullptr;
    QLabel* X = nullptr;
    QLabel* Y = nullptr;
    QLabel* Z = nullptr;
};

class TForm1 final : public QWidget {
    Q_OBJECT
public:
    TForm1(AppState& state, AppServices& services, QWidget* parent = nullptr);
    ~TForm1() override;

    // The sessions the window shows; tests and the demo drive them where they test one.
    ProbeSession& probes() { return *probes_; }
    LinkSession& link() { return *link_; }
    CaptureSession& capture() { return *capture_; }
    ChartWindowSession& chartWindow() { return *chartWindow_; }
    // The start-up, upkeep and shutdown steps in the order they ran.
    const QStringList& stepTrace() const { return trace_.steps(); }
    void setPatternWindow(TForm2* window) { patternWindow_ = window; }
    void setZoomWindow(TForm3* window);
    // "Print" hands the prepared document and its PDF folder to the presenter where no one is
    // there to look at the preview (tests, the demo).
    using ReportPresenter = std::function<void(const ReportDocument&, const QString& folder)>;
    void setReportPresenter(ReportPresenter presenter) { reportPresenter_ = std::move(presenter); }

    // Timers and window events.
    void Timer1Timer();
    void Timer2Timer();
    void FormClose();
    bool FormHelp();
    void FormMouseWheelDown();
    void FormMouseWheelUp();
    void offerRecovery();  // once, after start-up
    // Confirms a save or an export in the status line, without a box.
    void tellQuietly(const QString& text);

    // Patch list, readouts and target values.
    void colorsgsgroupClick();
    void colorsgsgroupEnter();
    void colorsgsgroupExit();
    void fillPatchList();
    void updatePatchLabels(int slot);
    int selectedSlot() const;
    void selectSlot(int slot);  // programmatic: no reaction to a user's choice
    void showFirstReading();
    void showSecondReading();
    void showTargetValues(int slot);
    void selectTargetGammaItem();
    void showBuildNumber();
    void cieGraphPaint();
    void SpectralGraphPaint();
    void grayScaleGraphPaint();
    void ebuColorsGraphPaint();
    void rgbGraphPaint();

    // Probe lists, ranges, calibration scans and files, the probe's status line.
    void fillProbeSelectors();
    void updateProbeControls(int position);
    void firstSMChange();
    void scndSMChange();
    void firstSMRangeChange();
    void scndSMRangeChange();
    void firstSMdarkClick();
    void secondSMDarkClick();
    void firstSMDblClick();
    void scndSMDblClick();
    void firstSMMouseEnter();
    void scndSMMouseEnter();
    void firstSMMouseLeave();
    void scndSMMouseLeave();

    // Capture and the working report.
    void btnStoreClick();
    void storeAllClick();
    void storeGreyscalesClick();
    void patchSelected();
    void targetGammaChange();
    void btnSaveClick();
    void btnClearClick();
    void btnLoadClick();
    void btnDownstreamClick();
    void printReport();

    // Device grid, connection fields, test pattern.
    void fillDeviceGrid();
    std::optional<int> selectedDevice() const;
    void StringGrid1Click();
    void StringGrid1Exit();
    void applyReportDir();
    void applyComSetting();
    void applyNetworkAddress();
    bool chooseReportDir();
    void Button2Click();
    bool updatePatternWindow();

    // Chart window: presentation switches, the chart buttons, the zoom window, the save button
    // with its spectrum and log files, and the picture export.
    void cieGraphDblClick();
    void SpectralGraphDblClick();
    void SpectralGraphMouseDown(Qt::MouseButton button);
    void rgbGraphDblClick();
    void showChartButtons(int tag, QWidget* chart);
    void hideChartButtons();
    void FormMouseEnter();
    void spdBtnZoomInClick();
    void spdBtnSaveClick();
    void spdBtnSaveMouseDown();

protected:
    void closeEvent(QCloseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class MainWindowViews;
    void createControls();
    void createReadouts();
    void createChartAreas();
    void createCapturePanel();
    void createProbePanel();
    void createConnectionFields();
    void createDeviceGrid();
    void createProbeStateLabels();
    void connectHandlers();
    void watchProbeControls();
    void connectCommandKeys();
    void connectChartWindow();
    void watchChartButtonMouse();
    void createSessions();

    void runStartupSequence();
    void resetStartupState();
    void applySettingsDefaults();
    void showConnectionSettings();
    void enableTimers();
    void loadSettings();
    void saveSettings();
    void createCharts();
    void refreshCharts();
    void redrawGammaPanels();
    void replotSpectralPanel();

    void sendPatternToMonitor();
    void showStatusLine();
    void showProbeStates();
    void showProbeStatus(int row);
    void enterStoppedOverview();
    void showGrading();
    void showRestoredReport(const CaptureSession::Restored& restored);
    void enterDeviceSelectionMode();
    void tellSerialProblems();

    AppState& state_;
    AppServices& services_;
    StepTrace trace_;
    AfterTick afterTick_;
    std::unique_ptr<MainWindowViews> views_;
    std::unique_ptr<ProbeSession> probes_;
    std::unique_ptr<LinkSession> link_;
    std::unique_ptr<CaptureSession> capture_;
    std::unique_ptr<ChartWindowSession> chartWindow_;  // made with the chart controls
    ConnectionFields* connectionFields_ = nullptr;
    ReportPresenter reportPresenter_;
    TForm2* patternWindow_ = nullptr;  // created after the main window
    QWidget* zoomWindow_ = nullptr;    // likewise
    TForm3* zoomForm_ = nullptr;       // the same window, as the zoom window it is
    bool closed_ = false;

public:
    // Controls. Each objectName is the name of the window definition; members drop the leading
    // underscore of the label names, which C++ reserves before a capital.
    ReadoutLabels firstReadout;   // _xyCCT_xvalue ... _XYZ_Zvalue
    ReadoutLabels secondReadout;  // _xyCCT_xvalue2 ... _XYZ_Zvalue2
    QLabel* targetx = nullptr;
    QLabel* targety = nullptr;
    QLabel* targetcct = nullptr;
    QLabel* targetu = nullptr;
    QLabel* targetv = nullptr;
    QLabel* valuesStatus = nullptr;
    QLabel* grygrading = nullptr;
    QLabel* ebucolgrading = nullptr;
    QLabel* commonmsg = nullptr;
    QLabel* buildNumber = nullptr;

    ChartArea* cieGraph = nullptr;
    ChartArea* SpectralGraph = nullptr;
    ChartArea* grayScaleGraph = nullptr;
    ChartArea* ebuColorsGraph = nullptr;
    ChartArea* rgbGraph = nullptr;
    QToolButton* spdBtnZoomIn = nullptr;
    QToolButton* spdBtnSave = nullptr;

    QFrame* Panel1 = nullptr;
    QPushButton* btnStore = nullptr;
    QPushButton* storeAll = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* storeGreyscales = nullptr;
    PatchListWidget* colorsgsgroup = nullptr;

    QFrame* Panel2 = nullptr;
    QComboBox* firstSM = nullptr;
    QComboBox* scndSM = nullptr;
    QComboBox* firstSMRange = nullptr;
    QComboBox* scndSMRange = nullptr;
    QPushButton* firstSMdark = nullptr;
    QPushButton* secondSMDark = nullptr;
    QLineEdit* editWorkingDir = nullptr;
    QLineEdit* editComNr = nullptr;
    QLineEdit* editNetworkIP = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnDownstream = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnClear = nullptr;
    QLineEdit* editDevsnid = nullptr;
    QLineEdit* editDevname = nullptr;
    QComboBox* targetGamma = nullptr;
    QPushButton* btnLoad = nullptr;  // hidden
    QTableWidget* StringGrid1 = nullptr;
    QLabel* probeState1 = nullptr;  // _ProbeState1: live, waiting, or silent for N s
    QLabel* probeState2 = nullptr;  // _ProbeState2
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
};

}  // namespace vqs
