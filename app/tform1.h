#pragma once
// The main window: live readouts, charts, the patch list, capture, probe and report controls.
// It is thin: handlers read controls, call operations on the application's records and show
// the results.

#include "app/app_services.h"
#include "app/app_state.h"
#include "probes/cs2000_driver.h"
#include "probes/qsp720_driver.h"
#include "probes/cs200_driver.h"
#include "probes/jeti_driver.h"
#include "monitor_link/downstream_save.h"
#include "probes/probe_freshness.h"
#include "app/run_progress.h"
#include "data/recovery_file.h"
#include "probes/probe_driver.h"
#include "data/settings_store.h"
#include "charts/chart_window_session.h"
#include "charts/zoom_chart.h"
#include "platform/atomic_file.h"
#include "platform/step_trace.h"

#include <QElapsedTimer>
#include <QStringList>

#include <functional>

#include <array>
#include <optional>
#include <span>
#include <QWidget>

#include <vector>

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
class ReportDocument;
class TForm2;
class TForm3;
class PatchListWidget;

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

    // Timers and window events.
    void Timer1Timer();
    void Timer2Timer();
    void FormClose();
    bool FormHelp();
    void FormMouseWheelDown();
    void FormMouseWheelUp();

    // Patch list.
    void colorsgsgroupClick();
    void colorsgsgroupEnter();
    void colorsgsgroupExit();
    void fillPatchList();
    void updatePatchLabels(int slot);
    int selectedSlot() const;
    void selectSlot(int slot);  // programmatic: no reaction to a user's choice

    // Readouts.
    void showFirstReading();
    void showSecondReading();
    void showTargetValues(int slot);

    // Paint of the chart areas from their prepared pictures.
    void cieGraphPaint();
    void SpectralGraphPaint();
    void grayScaleGraphPaint();
    void ebuColorsGraphPaint();
    void rgbGraphPaint();

    void selectTargetGammaItem();
    void showBuildNumber();

    // Probes.
    void fillProbeSelectors();
    void updateProbeControls(int position);
    void firstSMChange();
    void scndSMChange();
    ProbeDriverTable& probeDrivers() { return drivers_; }
    Cs2000Driver& cs2000() { return *cs2000_; }
    // The brightness ranges, the calibration scans and the calibration file of a spectrometer,
    // and the probe's status line while the mouse rests on a probe list.
    void firstSMRangeChange();
    void scndSMRangeChange();
    void firstSMdarkClick();
    void secondSMDarkClick();
    void requestCalScan(int row);
    void firstSMDblClick();
    void scndSMDblClick();
    void firstSMMouseEnter();
    void scndSMMouseEnter();
    void firstSMMouseLeave();
    void scndSMMouseLeave();
    Qsp720Driver& qsp720() { return *qsp720_; }
    // The CS-200 and JETI drivers, created when the drivers open at start-up.
    Cs200Driver* cs200Probes() { return cs200Probes_.get(); }
    JetiDriver* jetiProbes() { return jetiProbes_.get(); }

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

    // "Print": fills the report and opens its preview. The presenter replaces the preview where
    // no one is there to look at it (tests, the demo): it receives the prepared document and
    // the folder its PDF goes to.
    void printReport();
    using ReportPresenter = std::function<void(const ReportDocument&, const QString& folder)>;
    void setReportPresenter(ReportPresenter presenter) { reportPresenter_ = std::move(presenter); }

    // Device grid.
    void fillDeviceGrid();
    std::optional<int> selectedDevice() const;
    void StringGrid1Click();
    void StringGrid1Exit();

    // Connection settings: the report directory, the COM field, the network address.
    void applyReportDir();
    void applyComSetting();
    void applyNetworkAddress();

    // Test pattern.
    void setPatternWindow(TForm2* window) { patternWindow_ = window; }
    void setZoomWindow(TForm3* window);
    void Button2Click();
    bool updatePatternWindow();

    // Chart window: presentation switches, the chart buttons, the zoom window, the save button
    // with its log and spectrum files and the picture export. Its state and rhythm live in the
    // chart window session; the handlers show what it decided.
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
    // A probe's reading for the day's log file, from the drivers while logNextMeasurement is set.
    void logProbeMeasurement(int row, float X, float Y, float Z, std::span<const float> spectrum);
    ChartWindowSession& chartWindow() { return *chartWindow_; }

private:
    void connectChartWindow();
    void watchChartButtonMouse();
    void tellWriteFailure(const FileWriteResult& result);
    static QString writeFailureText(const FileWriteResult& result);
    TForm3* zoomForm_ = nullptr;
    std::unique_ptr<ChartWindowSession> chartWindow_;  // made with the chart controls

public:
    // Names of the start-up, upkeep and shutdown steps in the order they ran; lets tests and
    // the demo see the sequences without instruments.
    const QStringList& stepTrace() const { return trace_.steps(); }

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createReadouts();
    void createChartAreas();
    void createCapturePanel();
    void createProbePanel();
    void createConnectionFields();
    void createDeviceGrid();
    void connectHandlers();

    void runStartupSequence();
    void resetStartupState();
    void applySettingsDefaults();
    void showConnectionSettings();
    void enableTimers();
    std::vector<ProbeCalPath> probeCalPaths() const;

    void trace(const char* step) { trace_.record(step); }

    // Steps of the start-up, upkeep and shutdown sequences, each in the file of its subsystem.
    void resetQsp720LibraryState();
    void loadSettings();
    void createCharts();
    void scanReportDir();
    void markLinkClosed();
    void takeOverComNumber();
    void resetProbeList();
    void openProbeDrivers();
    void tellLibrariesLeftOut();
    void startCs2000Search();
    void sendPatternToMonitor();
    void cs2000Housekeeping();
    void saveSettings();
    void closeLink();
    void releaseCs2000();
    void disconnectMonitors();
    void closeQsp720();
    void closeJeti();
    bool cancelCaptureRun();
    void startCaptureRun(int firstSlot, int endSlot);
    void enterStoppedOverview();
    void showGrading();
    void redrawGammaPanels();
    void replotSpectralPanel();

    // The measurement cycle and its steps still to come.
    bool pollProbe(int row, Tprobevals& reading);
    void releaseDeselectedFirstProbe(int r1);
    void releaseDeselectedSecondProbe(int r2);
    void advanceCapture(bool got1, bool got2);
    void captureStep();
    void paceDiscovery();
    void pushReading();
    void readLink();
    void serialReplyCheck();
    void receiveDiscoveryReply();
    void sendDiscoveryRequest();
    void pushDate();
    void networkPollStep();
    void refreshCharts();
    void logCs2000Measurement(int row, float X, float Y, float Z, const Cs2000Spectrum& spectrum);

    // The connection fields take a value over once per Enter, focus change or double-click.
    enum class ConnectionField { reportDir, comNumber, networkAddress };
    void watchConnectionFields();
    void watchMonitorConnections();
    void tellConnectionFailures();
    GridSelection deviceGridSelection() const;
    void downstreamSaveFinished(const SaveOutcome& outcome);
    void enterDeviceSelectionMode();
    std::unique_ptr<DownstreamSave> downstreamSave_;
    void noteMonitorMerge(MergeResult result);
    ListFullNotice monitorListFull_;
    std::optional<ConnectionField> connectionField(QObject* watched);
    void connectionFieldEvent(ConnectionField field, QEvent* event);
    void applyConnectionField(ConnectionField field);
    bool chooseReportDir();
    std::array<int, 3> lastKeyCodes_{};  // per field; 13 after Enter or a double-click

    // Whether the first probe still delivers: shown in the status line, heeded by Capture.
    QString firstProbeFreshnessText() const;
    QString firstProbeHoldUp() const;
    bool refuseStaleCapture();
    ProbeFreshness firstFreshness_;
    int64_t cycleTicks_ = 0;  // measurement ticks so far: the clock of the probes' rhythm

    // ---- Operator feedback (tform1_feedback.cpp): run progress, the state of both probe
    // positions, recovery of an interrupted run, serial ports to mend, command keys.
public:
    // Where the recovery file of the working report is kept (default: the user's data folder).
    void setRecoveryFolder(const QString& folder);
    const RecoveryFile& recoveryFile() const { return recovery_; }
    // The steady clock of the run's elapsed and remaining time, in ms; tests drive their own.
    void setSteadyClock(std::function<int64_t()> clock) { steadyClockOverride_ = std::move(clock); }
    // Offers the report a program left behind that no longer runs; once, after start-up.
    void offerRecovery();
    // A message from within the measurement tick: shown once the tick is over, never inside it.
    void tellAfterTick(PromptKind kind, const QString& text);
    // Confirms a save or an export in the status line, without a box. It stands until the
    // operator moves on or for a few seconds while the readout is live.
    void tellQuietly(const QString& text);
    QLabel* probeState1 = nullptr;  // _ProbeState1: live, waiting, or silent for N s
    QLabel* probeState2 = nullptr;  // _ProbeState2

private:
    void createProbeStateLabels();
    void startOperatorFeedback();
    void connectCommandKeys();
    int64_t steadyMs() const;
    void startRunProgress(const QString& runName, int firstSlot, int lastSlot);
    void showStatusLine();
    void showProbeStates();
    bool probeReachable(int row) const;
    void scheduleRecoveryOffer();
    void restoreReport(const Tcaldaten& report, int capturedPatches);
    void keepRecoveryCurrent();
    void dropRecoveryOnceSaved();
    void tellSerialProblems();
    void showReadoutLooks();
    RunProgress runProgress_;
    ProbeFreshness secondFreshness_;
    RecoveryFile recovery_;
    bool recoveryOffered_ = false;
    bool recoveryHeld_ = false;  // a recovery file of this window's report may exist
    bool recoveryWriteFailed_ = false;
    QString notice_;  // the last quiet confirmation, while it is news
    int64_t noticeUntilMs_ = 0;
    QElapsedTimer steadyClock_;
    std::function<int64_t()> steadyClockOverride_;

    AppState& state_;
    AppServices& services_;
    ReportPresenter reportPresenter_;
    TForm2* patternWindow_ = nullptr;  // created after the main window
    QWidget* zoomWindow_ = nullptr;    // likewise
    ProbeDriverTable drivers_;
    std::unique_ptr<Cs2000Driver> cs2000_;
    std::unique_ptr<Qsp720Driver> qsp720_;
    std::unique_ptr<Cs200Driver> cs200Probes_;
    std::unique_ptr<JetiDriver> jetiProbes_;
    void watchProbeControls();
    void chooseCalFile(int row);
    void showProbeStatus(int row);
    Qsp720Driver::Hooks qsp720Hooks();
    StepTrace trace_;
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
};

}  // namespace vqs
