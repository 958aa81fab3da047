#include "app/tform1.h"

#include "app/build_label.h"
#include "app/connection_fields.h"
#include "app/main_window_views.h"
#include "app/dark_theme.h"
#include "app/patch_list.h"
#include "app/tform2.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>
#include <QWheelEvent>

namespace vqs {

namespace {

constexpr QSize kDesignSize(1279, 756);

}  // namespace

TForm1::TForm1(AppState& state, AppServices& services, QWidget* parent)
    : QWidget(parent), state_(state), services_(services), afterTick_(services.prompts) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Norvale - VQS 1.0  Lumiquest"));
    // Controls stand at fixed places: a smaller window would clip them.
    setMinimumSize(kDesignSize);
    resize(kDesignSize);
    applyDarkTheme(*this);
    createSessions();
    createControls();
    connectHandlers();
    runStartupSequence();
    connectCommandKeys();
    // After start-up, once the window runs: the question must not hold the start-up up.
    QTimer::singleShot(0, this, &TForm1::offerRecovery);
}

TForm1::~TForm1() = default;

// The probes first: capture heeds whether the first probe delivers.
void TForm1::createSessions() {
    views_ = std::make_unique<MainWindowViews>(*this);
    probes_ = std::make_unique<ProbeSession>(
        *state_.probes, state_.settings,
        ProbeServices{services_.prompts, services_.settings, services_.clock}, *views_, trace_);
    link_ = std::make_unique<LinkSession>(
        LinkRecords{*state_.monitorLink, *state_.monitors, state_.settings, state_.workingReport,
                    state_.targets},
        services_.prompts, services_.clock, *views_, trace_);
    capture_ = std::make_unique<CaptureSession>(
        CaptureRecords{state_.workingReport, state_.targets, state_.settings, state_.probe1,
                       state_.measurementStopped},
        *probes_, services_.prompts, services_.clock, *views_);
}

void TForm1::connectHandlers() {
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
    connect(btnStore, &QPushButton::clicked, this, &TForm1::btnStoreClick);
    connect(storeAll, &QPushButton::clicked, this, &TForm1::storeAllClick);
    connect(storeGreyscales, &QPushButton::clicked, this, &TForm1::storeGreyscalesClick);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(btnSave, &QPushButton::clicked, this, &TForm1::btnSaveClick);
    connect(btnDownstream, &QPushButton::clicked, this, &TForm1::btnDownstreamClick);
    connect(btnClear, &QPushButton::clicked, this, &TForm1::btnClearClick);
    connect(btnLoad, &QPushButton::clicked, this, &TForm1::btnLoadClick);
    connect(btnPrint, &QPushButton::clicked, this, &TForm1::printReport);
    connect(targetGamma, &QComboBox::activated, this, &TForm1::targetGammaChange);
    connect(StringGrid1, &QTableWidget::cellClicked, this, &TForm1::StringGrid1Click);
    StringGrid1->installEventFilter(this);
    using Field = ConnectionFields::Field;
    connectionFields_ = new ConnectionFields(
        editWorkingDir, editComNr, editNetworkIP,
        {[this](Field field) {
             if (field == Field::reportDir) applyReportDir();
             if (field == Field::comNumber) applyComSetting();
             if (field == Field::networkAddress) applyNetworkAddress();
         },
         [this] { return chooseReportDir(); }},
        this);
    connect(firstSM, &QComboBox::activated, this, &TForm1::firstSMChange);
    connect(scndSM, &QComboBox::activated, this, &TForm1::scndSMChange);
    connect(colorsgsgroup, &PatchListWidget::userSelected, this, &TForm1::colorsgsgroupClick);
    connect(colorsgsgroup, &PatchListWidget::entered, this, &TForm1::colorsgsgroupEnter);
    connect(colorsgsgroup, &PatchListWidget::exited, this, &TForm1::colorsgsgroupExit);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &TForm1::FormHelp);
}

// ---- Start-up -------------------------------------------------------------------------------

void TForm1::runStartupSequence() {
    probes_->resetQsp720LibraryState();
    resetStartupState();
    applySettingsDefaults();
    loadSettings();
    selectTargetGammaItem();
    showConnectionSettings();
    createCharts();
    link_->scanReportDir();
    fillDeviceGrid();
    state_.measurementStopped = false;
    link_->markLinkClosed();
    editComNr->setText(link_->takeOverComNumber(editComNr->text()));
    probes_->resetProbeList();
    probes_->openProbeDrivers();
    probes_->tellLibrariesLeftOut();
    fillProbeSelectors();
    fillPatchList();
    selectSlot(kStartSlot);
    showBuildNumber();
    probes_->startCs2000Search();
    updateProbeControls(0);
    updateProbeControls(1);
    enableTimers();
}

void TForm1::resetStartupState() {
    state_.xyMode = false;
    state_.spectralView = 0;
    state_.rgbView = 0;
    state_.probe1.spectrum.count = 0;
    valuesStatus->clear();
    state_.deviceSelectionMode = false;
}

void TForm1::applySettingsDefaults() {
    Settings& s = state_.settings;
    s.reportDir = QDir::currentPath();
    s.comSetting = kDefaultComSetting;
    s.networkIp = kDefaultNetworkIp;
    s.patternGeometry = {100, 100, 200, 200};
    s.targetGamma = kDefaultTargetGamma;
}

void TForm1::selectTargetGammaItem() {
    for (int i = 0; i < targetGamma->count(); ++i)
        if (targetGamma->itemText(i) == state_.settings.targetGamma) {
            const QSignalBlocker quiet(targetGamma);
            targetGamma->setCurrentIndex(i);
        }
}

void TForm1::showConnectionSettings() {
    editWorkingDir->setText(state_.settings.reportDir);
    editComNr->setText(state_.settings.comSetting);
    editNetworkIP->setText(state_.settings.networkIp);
}

void TForm1::showBuildNumber() {
    trace_.record("showBuildNumber");
    buildNumber->setText(buildLabelText(services_.clock.today()));
}

void TForm1::enableTimers() {
    trace_.record("enableTimers");
    Timer1->start();
    Timer2->start();
}

// ---- Upkeep and shutdown --------------------------------------------------------------------

void TForm1::Timer2Timer() {
    sendPatternToMonitor();
    if (link_->reloadReportDirIfDue()) fillDeviceGrid();
    probes_->housekeeping();
}

void TForm1::FormClose() {
    if (closed_) return;
    closed_ = true;
    trace_.record("stopTimers");
    Timer1->stop();
    Timer2->stop();
    saveSettings();
    link_->closeLink();
    probes_->releaseCs2000();
    // Devices that fail to close must not keep the window open.
    try {
        link_->disconnectMonitors();
        probes_->closeQsp720();
        probes_->closeJeti();
    } catch (...) {
    }
}

// Closing the main window ends the program: the auxiliary windows close with it, so the test
// pattern does not stay on the monitor under test (they do not keep the program running).
void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    for (QWidget* window : {static_cast<QWidget*>(patternWindow_), zoomWindow_})
        if (window != nullptr) window->close();
    event->accept();
}

bool TForm1::FormHelp() {
    return true;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == StringGrid1 && event->type() == QEvent::FocusOut) StringGrid1Exit();
    return QWidget::eventFilter(watched, event);
}

// ---- Patch list -----------------------------------------------------------------------------

int TForm1::selectedSlot() const {
    return colorsgsgroup->selectedSlot();
}

void TForm1::selectSlot(int slot) {
    colorsgsgroup->selectSlot(slot);
}

void TForm1::colorsgsgroupClick() {
    patchSelected();
    showTargetValues(selectedSlot());
}

void TForm1::colorsgsgroupEnter() {
    state_.listHasFocus = true;
}

void TForm1::colorsgsgroupExit() {
    state_.listHasFocus = false;
}

void TForm1::FormMouseWheelDown() {
    if (!state_.listHasFocus) return;
    const int slot = selectedSlot();
    if (slot > kLastSlot - 1) return;
    selectSlot(slot + 1);
    colorsgsgroupClick();
}

void TForm1::FormMouseWheelUp() {
    if (!state_.listHasFocus) return;
    const int slot = selectedSlot();
    if (slot <= kStartSlot) return;
    selectSlot(slot - 1);
    colorsgsgroupClick();
}

void TForm1::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta < 0) FormMouseWheelDown();
    if (delta > 0) FormMouseWheelUp();
    event->accept();
}

}  // namespace vqs
