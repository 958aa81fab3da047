#include "probes/probe_session.h"

#include "colour/colour_conversion.h"
#include "colour/probe_reading.h"
#include "data/log_files.h"
#include "data/recovery_file.h"
#include "data/settings_store.h"
#include "probes/qsp720_cal_file.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <vector>

namespace vqs {

namespace {

constexpr int64_t kTickMs = 100;
constexpr float kDarkScanLuminance = 20.0f;  // cd/m²; at or below it CalScan asks for darkness

const QString kBrightnessScanQuestion = QStringLiteral(
    "For Dark Scan please ensure the probe is darkend. Now Brightness Scan to match all "
    "Brightness Ranges will be performed. Please ensure a save brightness level to avoid "
    "clipping. Press OK if ready for brightness measurement.");
const QString kDarkScanQuestion = QStringLiteral(
    "For Dark Scan please ensure the probe is darkend. Press OK if ready for dark measurement");
const QString kNoDarkScanNeeded = QStringLiteral("No Dark Scan required for this Device.");
const QString kCalFileFilter = QStringLiteral("QSP CAL-FILE|*.cal|Alle|*.*");

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

ProbeSession::ProbeSession(ProbeList& probes, const Settings& settings, ProbeServices services,
                           ProbeSessionView& view, StepTrace& trace)
    : probes_(probes),
      settings_(settings),
      services_(services),
      view_(view),
      trace_(trace),
      afterTick_(services.prompts) {}

ProbeSession::~ProbeSession() = default;

// ---- Start-up, upkeep and shutdown ----------------------------------------------------------

// Start-up step 1: the spectrometer library is not open yet.
void ProbeSession::resetQsp720LibraryState() {
    trace_.record("resetQsp720LibraryState");
    qsp720_ = std::make_unique<Qsp720Driver>(probes_, logNextMeasurement_, qsp720Hooks());
    drivers_.set(kProbeQsp720, qsp720_.get());
}

Qsp720Driver::Hooks ProbeSession::qsp720Hooks() {
    Qsp720Driver::Hooks hooks;
    hooks.loadStoredData = [this](Tsmlist& probe) {
        probe.calFilePath = loadProbeCalPath(services_.store, identityOf(probe));
        DarkScans dark{probe.darkData[0], probe.darkData[1], probe.darkData[2], probe.darkData[3]};
        loadProbeScans(services_.store, identityOf(probe), dark, probe.rangeFactor);
    };
    hooks.saveDarkData = [this](const Tsmlist& probe) {
        const ConstDarkScans dark{probe.darkData[0], probe.darkData[1], probe.darkData[2],
                                  probe.darkData[3]};
        saveProbeDark(services_.store, identityOf(probe), dark);
    };
    hooks.saveRangeFactors = [this](const Tsmlist& probe) {
        saveProbeFactors(services_.store, identityOf(probe), probe.rangeFactor);
    };
    // The scans end inside the measurement tick; their boxes wait until the tick is over, and
    // the probe measures on meanwhile.
    hooks.scanComplete = [this] {
        afterTick_.ask(PromptKind::Confirmation, QStringLiteral("Scan complete!"),
                       PromptButtons::OkCancel, [](PromptAnswer) {});
    };
    hooks.scanDoubtful = [this](const QString& question) {
        afterTick_.ask(PromptKind::Warning, question, PromptButtons::YesNo,
                       [this](PromptAnswer answer) {
                           qsp720_->settleHeldScan(answer == PromptAnswer::Yes);
                       });
    };
    hooks.tell = [this](const QString& text) { afterTick_.tell(PromptKind::Warning, text); };
    hooks.logMeasurement = [this](int row, float X, float Y, float Z,
                                  std::span<const float> pixels) {
        logMeasurement(row, X, Y, Z, pixels);
    };
    return hooks;
}

void ProbeSession::resetProbeList() {
    trace_.record("resetProbeList");
    vqs::resetProbeList(probes_);
}

// The drivers found by their libraries open in this order; the CS-2000 is found later by its
// port search. Each library's start-up is marked in the user's data folder, so that a library
// that ends the program while it starts is left out of the next start, and named.
void ProbeSession::openProbeDrivers() {
    trace_.record("openProbeDrivers");
    jeti_ = std::make_unique<JetiDriver>(probes_);
    drivers_.set(kProbeJeti, jeti_.get());
    cs200_ = std::make_unique<Cs200Driver>(probes_);
    drivers_.set(kProbeCs200, cs200_.get());
    const QString markFolder = defaultDataFolder();
    for (const int32_t type : kLibraryProbeTypes) {
        drivers_.forType(type).setStartMarkFolder(markFolder);
        drivers_.forType(type).open();
    }
}

void ProbeSession::tellLibrariesLeftOut() {
    QStringList texts;
    for (const VendorLibraryTrouble& trouble : libraryTroubles(drivers_))
        if (trouble.crashedLastStart) texts << leftOutText(trouble);
    if (!texts.isEmpty()) afterTick_.tell(PromptKind::Warning, texts.join(QStringLiteral("\n\n")));
}

void ProbeSession::startCs2000Search() {
    trace_.record("startCs2000Search");
    Cs2000Driver::Hooks hooks;
    hooks.openPort = [](int port) { return openComPort(port, kCs2000BaudRate); };
    hooks.probeAdded = [this] { view_.probeListChanged(); };
    hooks.logMeasurement = [this](int row, float X, float Y, float Z, const Cs2000Spectrum& s) {
        logMeasurement(row, X, Y, Z, s);
    };
    cs2000_ = std::make_unique<Cs2000Driver>(probes_, logNextMeasurement_, hooks);
    drivers_.set(kProbeCs2000, cs2000_.get());
    // The search leaves the monitor link's port alone.
    const int linkPort = settings_.comSetting.toInt();
    cs2000_->startSearch(linkPort >= 1 && linkPort <= 255 ? linkPort : 0);
}

// The CS-2000's steps do nothing before its search has started (a session driven by a test).
void ProbeSession::housekeeping() {
    if (cs2000_) cs2000_->housekeeping();
}

void ProbeSession::releaseCs2000() {
    trace_.record("releaseCs2000");
    if (cs2000_) cs2000_->close();
}

void ProbeSession::closeQsp720() {
    trace_.record("closeQsp720");
    drivers_.forType(kProbeQsp720).close();
}

void ProbeSession::closeJeti() {
    trace_.record("closeJeti");
    drivers_.forType(kProbeJeti).close();
}

// ---- The measurement tick -------------------------------------------------------------------

void ProbeSession::interpretReplies() {
    if (cs2000_) cs2000_->interpretReplies();
}

void ProbeSession::readBytes() {
    if (cs2000_) cs2000_->readBytes();
}

bool ProbeSession::poll(int row, Tprobevals& reading) {
    ProbeDriver& driver = drivers_.forType(probeTypeAt(probes_, row));
    return driver.poll(row, reading.X, reading.Y, reading.Z, reading.spectrum) != 0;
}

bool ProbeSession::pollFirst(int firstRow, Tprobevals& first) {
    const bool got = firstRow != -1 && poll(firstRow, first);
    firstRowThisTick_ = firstRow;
    gotFirstThisTick_ = got;
    // Time counted in ticks: steady, unlike the wall clock, and the probes' rhythm is ticks.
    firstFreshness_.update(firstRow, got, ++cycleTicks_ * kTickMs, reachable(firstRow));
    // Row 0 is never tracked, and neither is "no selection".
    if (firstActiveProbe_ == 0 && firstRow > 0) firstActiveProbe_ = firstRow;
    return got;
}

void ProbeSession::releaseDeselectedFirst(int firstRow) {
    const int active = firstActiveProbe_;
    if (active == 0 || active == firstRow || active == secondActiveProbe_) return;
    if (probeTypeAt(probes_, active) == kProbeQsp720) drivers_.forType(kProbeQsp720).release(active);
    firstActiveProbe_ = 0;
}

bool ProbeSession::pollSecond(int secondIndex, const Tprobevals& first, Tprobevals& second) {
    const int r1 = firstRowThisTick_;
    const int r2 = secondIndex - 1;
    second.shown = 0;
    bool got = false;
    if (secondIndex != -1 && secondIndex != 0 && r2 != r1) {
        second.shown = 2;
        got = poll(r2, second);
        if (secondActiveProbe_ == 0 && r2 != 0) secondActiveProbe_ = r2;
    }
    // Both positions on one instrument: it is polled once and both show its values.
    if (r2 == r1 && gotFirstThisTick_) {
        second.X = first.X;
        second.Y = first.Y;
        second.Z = first.Z;
        second.shown = 2;
        got = true;
    }
    if (got) convertReading(second);
    // The second position follows its own probe, or the first one's when both name it.
    const int secondRow = secondIndex > 0 ? r2 : -1;
    secondFreshness_.update(secondRow, got, cycleTicks_ * kTickMs, reachable(secondRow));
    releaseDeselectedSecond(r2);
    return got;
}

void ProbeSession::releaseDeselectedSecond(int r2) {
    const int active = secondActiveProbe_;
    if (active == 0 || active == r2 || active == firstActiveProbe_) return;
    const int32_t type = probeTypeAt(probes_, active);
    if (type == kProbeQsp720 || type == kProbeCs2000) drivers_.forType(type).release(active);
    secondActiveProbe_ = 0;
}

// Only a serial probe can lose its port; the others are judged by their rhythm alone.
bool ProbeSession::reachable(int row) const {
    if (row < 0 || probeTypeAt(probes_, row) != kProbeCs2000 || !cs2000_) return true;
    return cs2000_->link().handle != nullptr;
}

// ---- Freshness ------------------------------------------------------------------------------

// A probe that stops delivering leaves its last values standing; the status line below them,
// empty while they are live, says so.
QString ProbeSession::firstFreshnessText() const {
    switch (firstFreshness_.liveness()) {
        case ProbeLiveness::Waiting:
            return QStringLiteral("Probe 1: waiting for its first reading");
        case ProbeLiveness::Silent:
            return QStringLiteral("Probe 1 silent for %1 s: the values shown are not current")
                .arg(firstFreshness_.quietMs() / 1000);
        case ProbeLiveness::NoProbe:
            return QStringLiteral("No probe in position 1: the values shown are not a reading");
        default:
            return {};
    }
}

// Why a run stands still, short enough to leave room for where it stands.
QString ProbeSession::firstHoldUp() const {
    switch (firstFreshness_.liveness()) {
        case ProbeLiveness::Waiting: return QStringLiteral("Probe 1 has not delivered yet");
        case ProbeLiveness::Silent:
            return QStringLiteral("Probe 1 silent for %1 s").arg(firstFreshness_.quietMs() / 1000);
        case ProbeLiveness::NoProbe: return QStringLiteral("No probe in position 1");
        default: return {};
    }
}

// The values of a probe that has not delivered for a while, or not yet, are not what the patch
// shows now: Capture keeps them out of the report. Runs wait for fresh readings by themselves.
std::optional<QString> ProbeSession::captureRefusal() const {
    switch (firstFreshness_.liveness()) {
        case ProbeLiveness::Waiting:
            return QStringLiteral(
                "Probe 1 has not delivered a reading yet, so nothing was captured. Press Capture "
                "again once its values appear.");
        case ProbeLiveness::Silent:
            return QStringLiteral(
                       "Probe 1 has delivered no reading for %1 s, so nothing was captured. Check "
                       "the probe and its cable, then press Capture again once its values update.")
                .arg(firstFreshness_.quietMs() / 1000);
        case ProbeLiveness::NoProbe:
            return QStringLiteral(
                "No probe in position 1, so nothing was captured. Choose a probe in the first "
                "probe list, then press Capture once its values appear.");
        default:
            return std::nullopt;
    }
}

// ---- The probe list and its controls --------------------------------------------------------

QStringList ProbeSession::probeNames() const {
    QStringList names;
    for (const Tsmlist& probe : probes_)
        if (probe.type != kProbeFree) names << probe.displayName;
    return names;
}

ProbeControls ProbeSession::controlsFor(int row) const {
    constexpr int kNormalRange = 2;
    switch (probeTypeAt(probes_, row)) {
        case kProbeQsp720:
            return {true, true, kNormalRange};
        case kProbeCs200:
            return {false, true, kNormalRange};
        default:
            return {};
    }
}

void ProbeSession::setUserRange(int row, int range) {
    if (row < 0 || row >= kProbeRows) return;
    probes_[row].userRange = range;
    probes_[row].holdCount = 0;
}

// A spectrometer that sees light gets the brightness scan, one in the dark the dark scan; the
// scan itself runs in the following polls.
void ProbeSession::requestCalScan(int row) {
    switch (probeTypeAt(probes_, row)) {
        case kProbeQsp720: {
            const bool light = probes_[row].lastY > kDarkScanLuminance;
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

// The path reaches the settings store at exit.
void ProbeSession::chooseCalFile(int row) {
    if (probeTypeAt(probes_, row) != kProbeQsp720) return;
    Tsmlist& probe = probes_[row];
    const QString startDir = probe.calFilePath.isEmpty()
                                 ? settings_.reportDir
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

// Shown on either list: that is where the operator looks for a probe that is not listed.
std::optional<ProbeStatusLine> ProbeSession::statusLine(int row) {
    QStringList texts;
    for (const VendorLibraryTrouble& trouble : libraryTroubles(drivers_))
        texts << vendorLibraryTroubleText(trouble);
    const bool listed = row >= 0 && row < kProbeRows;
    if (!listed && texts.isEmpty()) return std::nullopt;
    int32_t colour = kCalStatusRed;
    if (listed) {
        const Tsmlist& probe = probes_[row];
        if (texts.isEmpty()) colour = probe.calStatusColour;
        if (!probe.calStatus.isEmpty()) texts.prepend(probe.calStatus);
    }
    return ProbeStatusLine{texts.join(QStringLiteral(" | ")), colour};
}

// ---- The daily log and spectrum files -------------------------------------------------------

void ProbeSession::saveSpectrum(const Tsprad& block) {
    const auto count =
        static_cast<std::size_t>(std::clamp<int32_t>(block.count, 0, kSpectrumCapacity));
    const LoggedSpectrum spectrum{block.firstWavelength, block.lastWavelength,
                                  std::span<const float>(block.values.data(), count)};
    logNextMeasurement_ = true;
    const FileWriteResult written =
        appendSpectrumLine(settings_.reportDir, services_.clock, spectrum);
    if (!written.ok)
        services_.prompts.message(PromptKind::Error, writeFailureText(written), PromptButtons::Ok);
}

void ProbeSession::logMeasurement(int row, float X, float Y, float Z,
                                  std::span<const float> spectrum) {
    if (row < 0 || row >= kProbeRows) return;
    const Tsmlist& entry = probes_[row];
    const auto samples =
        static_cast<std::size_t>(std::clamp<int32_t>(entry.sampleCount, 0, kProbeSamples));
    const LoggedProbe probe{entry.displayName,
                            std::span<const float>(entry.wavelength.data(), samples)};
    const FileWriteResult written =
        appendLogLine(settings_.reportDir, services_.clock, probe,
                      {X, Y, Z, spectrum.first(std::min(samples, spectrum.size()))});
    // The drivers log from within the measurement tick; the message waits until it is over.
    if (!written.ok) afterTick_.tell(PromptKind::Error, writeFailureText(written));
}

}  // namespace vqs
