// The probe list on the main window: drivers opened at start-up, the two selectors, the range
// and CalScan controls, the spectrometer's calibration file and status line, the CS-2000's port
// search and the drivers' shutdown.

#include "app/tform1.h"

#include "data/settings_store.h"
#include "probes/qsp720_cal_file.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <array>
#include <functional>
#include <vector>

namespace vqs {

namespace {

constexpr float kDarkScanLuminance = 20.0f;  // cd/m²; at or below it CalScan asks for darkness

const QString kBrightnessScanQuestion = QStringLiteral(
    "For Dark Scan please ensure the probe is darkend. Now Brightness Scan to match all "
    "Brightness Ranges will be performed. Please ensure a save brightness level to avoid "
    "clipping. Press OK if ready for brightness measurement.");
const QString kDarkScanQuestion = QStringLiteral(
    "For Dark Scan please ensure the probe is darkend. Press OK if ready for dark measurement");
const QString kNoDarkScanNeeded = QStringLiteral("No Dark Scan required for this Device.");
const QString kCalFileFilter = QStringLiteral("QSP CAL-FILE|*.cal|Alle|*.*");

// The mouse on a probe list: entering and leaving it, and a double-click. A press on a closed
// list would open it at once and take the double-click's second press, so the list opens only
// when no second press follows within the double-click time.
class ProbeListWatcher final : public QObject {
  public:
    ProbeListWatcher(QComboBox* list, std::function<void()> entered, std::function<void()> left,
                     std::function<void()> doubleClicked)
        : QObject(list),
          list_(list),
          entered_(std::move(entered)),
          left_(std::move(left)),
          doubleClicked_(std::move(doubleClicked)) {
        popup_.setSingleShot(true);
        popup_.callOnTimeout(list_, [list] { list->showPopup(); });
        list->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != list_) return false;
        switch (event->type()) {
            case QEvent::Enter:
                entered_();
                break;
            case QEvent::Leave:
                left_();
                break;
            case QEvent::MouseButtonPress:
                if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) break;
                popup_.start(QApplication::doubleClickInterval());
                return true;
            case QEvent::MouseButtonDblClick:
                popup_.stop();
                doubleClicked_();
                return true;
            default:
                break;
        }
        return false;
    }

  private:
    QComboBox* list_;
    std::function<void()> entered_, left_, doubleClicked_;
    QTimer popup_;
};

QColor statusColour(int32_t bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

void setLabelColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

ProbeIdentity identityOf(const Tsmlist& probe) {
    return {probe.type, probe.serialNumber};
}

constexpr std::array<int32_t, 3> kLibraryProbeTypes = {kProbeQsp720, kProbeJeti, kProbeCs200};

std::vector<VendorLibraryTrouble> libraryTroubles(ProbeDriverTable& drivers) {
    std::vector<VendorLibraryTrouble> troubles;
    for (const int32_t type : kLibraryProbeTypes)
        for (VendorLibraryTrouble& trouble : drivers.forType(type).libraryTroubles())
            troubles.push_back(std::move(trouble));
    return troubles;
}

// The operator must know which file to remove or replace, and where it lies (a library that
// crashed while the system's search was loading it has no folder yet).
QString leftOutText(const VendorLibraryTrouble& trouble) {
    const QFileInfo file(trouble.file);
    const QString where = trouble.file.contains(QLatin1Char('/'))
                              ? QStringLiteral("in the folder %1")
                                    .arg(QDir::toNativeSeparators(file.absolutePath()))
                              : QStringLiteral("found by the system's library search");
    return QStringLiteral(
               "The last start of Lumiquest ended while the %1 library was starting: the file "
               "%2 %3. It was left out this time, so no %1 is listed. Remove or replace that "
               "file; the next start tries it again.")
        .arg(trouble.probe, file.fileName(), where);
}

}  // namespace

// ---- The spectrometer driver ----------------------------------------------------------------

// Start-up step 1: the spectrometer library is not open yet.
void TForm1::resetQsp720LibraryState() {
    trace("resetQsp720LibraryState");
    qsp720_ =
        std::make_unique<Qsp720Driver>(*state_.probes, state_.logNextMeasurement, qsp720Hooks());
    drivers_.set(kProbeQsp720, qsp720_.get());
}

Qsp720Driver::Hooks TForm1::qsp720Hooks() {
    Qsp720Driver::Hooks hooks;
    hooks.loadStoredData = [this](Tsmlist& probe) {
        probe.calFilePath = loadProbeCalPath(services_.settings, identityOf(probe));
        DarkScans dark{probe.darkData[0], probe.darkData[1], probe.darkData[2], probe.darkData[3]};
        loadProbeScans(services_.settings, identityOf(probe), dark, probe.rangeFactor);
    };
    hooks.saveDarkData = [this](const Tsmlist& probe) {
        const ConstDarkScans dark{probe.darkData[0], probe.darkData[1], probe.darkData[2],
                                  probe.darkData[3]};
        saveProbeDark(services_.settings, identityOf(probe), dark);
    };
    hooks.saveRangeFactors = [this](const Tsmlist& probe) {
        saveProbeFactors(services_.settings, identityOf(probe), probe.rangeFactor);
    };
    // The scan ends inside the measurement tick; the box waits until the tick is over.
    hooks.scanComplete = [this] {
        QTimer::singleShot(0, this, [this] {
            services_.prompts.message(PromptKind::Confirmation, QStringLiteral("Scan complete!"),
                                      PromptButtons::OkCancel);
        });
    };
    // Likewise the question about a doubtful scan; the probe measures on meanwhile.
    hooks.scanDoubtful = [this](const QString& question) {
        QTimer::singleShot(0, this, [this, question] {
            const PromptAnswer answer =
                services_.prompts.message(PromptKind::Warning, question, PromptButtons::YesNo);
            qsp720_->settleHeldScan(answer == PromptAnswer::Yes);
        });
    };
    hooks.tell = [this](const QString& text) {
        QTimer::singleShot(0, this, [this, text] {
            services_.prompts.message(PromptKind::Warning, text, PromptButtons::Ok);
        });
    };
    hooks.logMeasurement = [this](int row, float X, float Y, float Z,
                                  std::span<const float> pixels) {
        logProbeMeasurement(row, X, Y, Z, pixels);
    };
    return hooks;
}

void TForm1::resetProbeList() {
    trace("resetProbeList");
    vqs::resetProbeList(*state_.probes);
}

// The drivers found by their libraries open in this order; the CS-2000 is found later by its
// port search. Each library's start-up is marked in the user's data folder, so that a library
// that ends the program while it starts is left out of the next start, and named.
void TForm1::openProbeDrivers() {
    trace("openProbeDrivers");
    jetiProbes_ = std::make_unique<JetiDriver>(*state_.probes);
    drivers_.set(kProbeJeti, jetiProbes_.get());
    cs200Probes_ = std::make_unique<Cs200Driver>(*state_.probes);
    drivers_.set(kProbeCs200, cs200Probes_.get());
    const QString markFolder = defaultDataFolder();
    for (const int32_t type : kLibraryProbeTypes) {
        drivers_.forType(type).setStartMarkFolder(markFolder);
        drivers_.forType(type).open();
    }
    tellLibrariesLeftOut();
}

// After start-up, once the window runs, as the recovery offer is made: the start is not held up.
void TForm1::tellLibrariesLeftOut() {
    QStringList texts;
    for (const VendorLibraryTrouble& trouble : libraryTroubles(drivers_))
        if (trouble.crashedLastStart) texts << leftOutText(trouble);
    if (texts.isEmpty()) return;
    QTimer::singleShot(0, this, [this, texts] {
        services_.prompts.message(PromptKind::Warning, texts.join(QStringLiteral("\n\n")),
                                  PromptButtons::Ok);
    });
}

void TForm1::fillProbeSelectors() {
    trace("fillProbeSelectors");
    const QSignalBlocker quietFirst(firstSM);
    const QSignalBlocker quietSecond(scndSM);
    firstSM->clear();
    scndSM->clear();
    scndSM->addItem(QStringLiteral("none"));
    for (const Tsmlist& probe : *state_.probes) {
        if (probe.type == kProbeFree) continue;
        firstSM->addItem(probe.displayName);
        scndSM->addItem(probe.displayName);
    }
    firstSM->setCurrentIndex(0);
    scndSM->setCurrentIndex(0);
}

void TForm1::updateProbeControls(int position) {
    trace(position == 0 ? "updateProbeControls(0)" : "updateProbeControls(1)");
    QPushButton* calScan = position == 0 ? firstSMdark : secondSMDark;
    QComboBox* range = position == 0 ? firstSMRange : scndSMRange;
    calScan->setEnabled(false);
    range->setEnabled(false);
    const QSignalBlocker quiet(range);
    range->setCurrentIndex(0);

    const int row = position == 0 ? firstSM->currentIndex() : scndSM->currentIndex() - 1;
    constexpr int kNormalRange = 2;
    switch (probeTypeAt(*state_.probes, row)) {
        case kProbeQsp720:
            calScan->setEnabled(true);
            range->setEnabled(true);
            range->setCurrentIndex(kNormalRange);
            break;
        case kProbeCs200:
            range->setEnabled(true);
            range->setCurrentIndex(kNormalRange);
            break;
        default:
            break;
    }
}

void TForm1::firstSMChange() {
    updateProbeControls(0);
}

void TForm1::scndSMChange() {
    updateProbeControls(1);
}

// ---- Ranges, calibration scans, calibration file, status line -------------------------------

void TForm1::watchProbeControls() {
    connect(firstSMRange, &QComboBox::activated, this, &TForm1::firstSMRangeChange);
    connect(scndSMRange, &QComboBox::activated, this, &TForm1::scndSMRangeChange);
    connect(firstSMdark, &QPushButton::clicked, this, &TForm1::firstSMdarkClick);
    connect(secondSMDark, &QPushButton::clicked, this, &TForm1::secondSMDarkClick);
    new ProbeListWatcher(
        firstSM, [this] { firstSMMouseEnter(); }, [this] { firstSMMouseLeave(); },
        [this] { firstSMDblClick(); });
    new ProbeListWatcher(
        scndSM, [this] { scndSMMouseEnter(); }, [this] { scndSMMouseLeave(); },
        [this] { scndSMDblClick(); });
}

// The driver applies the operator's range at its next reading.
void TForm1::firstSMRangeChange() {
    const int row = firstSM->currentIndex();
    if (row < 0 || row >= kProbeRows) return;
    (*state_.probes)[row].userRange = firstSMRange->currentIndex();
    (*state_.probes)[row].holdCount = 0;
}

void TForm1::scndSMRangeChange() {
    const int row = scndSM->currentIndex() - 1;
    if (row < 0 || row >= kProbeRows) return;
    (*state_.probes)[row].userRange = scndSMRange->currentIndex();
    (*state_.probes)[row].holdCount = 0;
}

void TForm1::firstSMdarkClick() {
    const int row = firstSM->currentIndex();
    if (row >= 0) requestCalScan(row);
}

void TForm1::secondSMDarkClick() {
    const int row = scndSM->currentIndex() - 1;
    if (row >= 0) requestCalScan(row);
}

// A spectrometer that sees light gets the brightness scan, one in the dark the dark scan; the
// scan itself runs in the following polls.
void TForm1::requestCalScan(int row) {
    switch (probeTypeAt(*state_.probes, row)) {
        case kProbeQsp720: {
            const bool light = (*state_.probes)[row].lastY > kDarkScanLuminance;
            const PromptAnswer answer = services_.prompts.message(
                PromptKind::Confirmation, light ? kBrightnessScanQuestion : kDarkScanQuestion,
                PromptButtons::OkCancel);
            if (answer == PromptAnswer::Ok)
                qsp720_->setCalScanStep(light ? kBrightnessScanStart : kDarkScanStart);
            break;
        }
        case kProbeJeti:
            services_.prompts.message(PromptKind::Information, kNoDarkScanNeeded,
                                      PromptButtons::Ok);
            break;
        default:
            break;
    }
}

void TForm1::firstSMDblClick() {
    chooseCalFile(firstSM->currentIndex());
}

void TForm1::scndSMDblClick() {
    chooseCalFile(scndSM->currentIndex() - 1);
}

// The path reaches the settings store at exit.
void TForm1::chooseCalFile(int row) {
    if (probeTypeAt(*state_.probes, row) != kProbeQsp720) return;
    Tsmlist& probe = (*state_.probes)[row];
    const QString startDir = probe.calFilePath.isEmpty()
                                 ? state_.settings.reportDir
                                 : QFileInfo(probe.calFilePath).absolutePath();
    const std::optional<QString> chosen = services_.prompts.openFile(kCalFileFilter, startDir);
    if (!chosen || chosen->isEmpty() || !QFileInfo::exists(*chosen)) return;
    probe.calFilePath = *chosen;
    if (readCalFile(probe)) return;
    QString why = QStringLiteral("it cannot be read");
    if (probe.calStatus.startsWith(kCalFileTooLargeStatus))
        why = QStringLiteral("it holds more than 16 MiB, which no calibration file does");
    services_.prompts.message(
        PromptKind::Warning,
        QStringLiteral("The calibration file %1 is not used: %2. The probe keeps its previous "
                       "calibration.")
            .arg(QDir::toNativeSeparators(*chosen), why),
        PromptButtons::Ok);
}

void TForm1::firstSMMouseEnter() {
    showProbeStatus(firstSM->currentIndex());
}

void TForm1::scndSMMouseEnter() {
    showProbeStatus(scndSM->currentIndex() - 1);
}

// The probe's own status, and after it in red what keeps a maker's library from giving probes,
// shown on either list: that is where the operator looks for a probe that is not listed.
void TForm1::showProbeStatus(int row) {
    QStringList texts;
    for (const VendorLibraryTrouble& trouble : libraryTroubles(drivers_))
        texts << vendorLibraryTroubleText(trouble);
    const bool listed = row >= 0 && row < kProbeRows;
    if (!listed && texts.isEmpty()) return;
    int32_t colour = kCalStatusRed;
    if (listed) {
        const Tsmlist& probe = (*state_.probes)[row];
        if (texts.isEmpty()) colour = probe.calStatusColour;
        if (!probe.calStatus.isEmpty()) texts.prepend(probe.calStatus);
    }
    commonmsg->setText(texts.join(QStringLiteral(" | ")));
    setLabelColour(commonmsg, statusColour(colour));
}

void TForm1::firstSMMouseLeave() {
    commonmsg->clear();
    setLabelColour(commonmsg, Qt::white);
}

void TForm1::scndSMMouseLeave() {
    firstSMMouseLeave();
}

void TForm1::startCs2000Search() {
    trace("startCs2000Search");
    Cs2000Driver::Hooks hooks;
    hooks.openPort = [](int port) { return openComPort(port, kCs2000BaudRate); };
    hooks.probeAdded = [this] { fillProbeSelectors(); };
    hooks.logMeasurement = [this](int row, float X, float Y, float Z, const Cs2000Spectrum& s) {
        logCs2000Measurement(row, X, Y, Z, s);
    };
    cs2000_ = std::make_unique<Cs2000Driver>(*state_.probes, state_.logNextMeasurement, hooks);
    drivers_.set(kProbeCs2000, cs2000_.get());
    // The search leaves the monitor link's port alone.
    const int linkPort = state_.settings.comSetting.toInt();
    cs2000_->startSearch(linkPort >= 1 && linkPort <= 255 ? linkPort : 0);
}

void TForm1::cs2000Housekeeping() {
    cs2000_->housekeeping();
}

void TForm1::releaseCs2000() {
    trace("releaseCs2000");
    cs2000_->close();
}

void TForm1::closeQsp720() {
    trace("closeQsp720");
    drivers_.forType(kProbeQsp720).close();
}

void TForm1::closeJeti() {
    trace("closeJeti");
    drivers_.forType(kProbeJeti).close();
}

}  // namespace vqs
