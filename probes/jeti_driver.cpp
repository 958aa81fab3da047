#include "probes/jeti_driver.h"

#include "platform/vendor_library.h"

#include <QScopeGuard>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace vqs {

namespace {

constexpr uint32_t kDeviceOpened = 0;  // every index opens device number 0
constexpr uint32_t kSingleMeasurement = 0;
constexpr uint32_t kCycleTime = 1;
constexpr float kAutomaticIntegration = 0.0f;
constexpr uint16_t kOneAverage = 1;
constexpr uint8_t kStepOne = 1;
constexpr float kRadianceScale = 1e6f;  // the spectral block holds radiance × 10^6
constexpr uint32_t kMostInstruments = 64;

void toStandardOutput(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

std::string noDeviceText(uint32_t rc) {
    std::array<char, 128> text{};
    std::snprintf(text.data(), text.size(),
                  "No matching device found!\nError code 0x%08X\nPress any key to continue...\n",
                  static_cast<unsigned>(rc));
    return text.data();
}

}  // namespace

JetiDriver::JetiDriver(ProbeList& probes, Output output)
    : probes_(probes),
      output_(output ? std::move(output) : Output(toStandardOutput)),
      core_(std::make_unique<VendorLibrary>()),
      radio_(std::make_unique<VendorLibrary>()) {}

JetiDriver::~JetiDriver() = default;

// ---- Enumeration ----------------------------------------------------------------------------

// From loading to the end of the enumeration the libraries run their start-up: their marks
// stay till then.
bool JetiDriver::open() {
    const auto startedUp = qScopeGuard([this] {
        radio_->startUpDone();
        core_->startUpDone();
    });
    // The radio library hands its calls to the core: a mark of either leaves both out once.
    const bool radioCrashed = radio_->takeStartMark(QString::fromLatin1(kJetiRadioLibraryName));
    const bool coreCrashed = core_->takeStartMark(QString::fromLatin1(kJetiCoreLibraryName));
    if (radioCrashed || coreCrashed) return false;
    if (!core_->load(QString::fromLatin1(kJetiCoreLibraryName)) ||
        !radio_->load(QString::fromLatin1(kJetiRadioLibraryName)))
        return false;
    JetiFunctions functions;
    functions.getNumRadio = radio_->resolveAs<JetiGetNumRadioEx>("JETI_GetNumRadioEx");
    functions.getSerialRadio = radio_->resolveAs<JetiGetSerialRadioEx>("JETI_GetSerialRadioEx");
    functions.openRadio = radio_->resolveAs<JetiOpenRadioEx>("JETI_OpenRadioEx");
    functions.setCycModeConf = core_->resolveAs<JetiSetCycModeConf>("JETI_SetCycModeConf");
    functions.setCycTimeConf = core_->resolveAs<JetiSetCycTimeConf>("JETI_SetCycTimeConf");
    functions.measure = radio_->resolveAs<JetiMeasureEx>("JETI_MeasureEx");
    functions.measureStatus = radio_->resolveAs<JetiMeasureStatusEx>("JETI_MeasureStatusEx");
    functions.chromXyz = radio_->resolveAs<JetiChromXYZEx>("JETI_ChromXYZEx");
    functions.specRad = radio_->resolveAs<JetiSpecRadEx>("JETI_SpecRadEx");
    functions.closeDevice = core_->resolveAs<JetiCloseDevice>("JETI_CloseDevice");
    return enumerate(functions);
}

void JetiDriver::setStartMarkFolder(const QString& folder) {
    core_->setStartMarkFolder(folder);
    radio_->setStartMarkFolder(folder);
}

std::vector<VendorLibraryTrouble> JetiDriver::libraryTroubles() const {
    std::vector<VendorLibraryTrouble> troubles;
    for (const VendorLibrary* library : {core_.get(), radio_.get()}) {
        std::optional<VendorLibraryTrouble> trouble = library->trouble();
        if (!trouble) continue;
        trouble->probe = QStringLiteral("JETI specbos");
        troubles.push_back(*trouble);
    }
    return troubles;
}

// Nothing is called before every export of both libraries is there.
bool JetiDriver::enumerate(const JetiFunctions& functions) {
    f_ = functions;
    if (!f_.complete()) return false;
    output_("Searching device...\n");
    uint32_t count = 0;
    const uint32_t rc = f_.getNumRadio(&count);
    if (rc != 0 || count == 0) {
        output_(noDeviceText(rc));
        return false;
    }
    for (uint32_t index = 0; index < std::min(count, kMostInstruments); ++index) {
        int32_t serial = 0, other = 0;
        f_.getSerialRadio(index, &serial, &other);
        const int row = findFreeProbeRow(probes_);
        if (row < 0) continue;
        int32_t handle = 0;
        if (f_.openRadio(kDeviceOpened, &handle) != 0) continue;
        Tsmlist& probe = probes_[row];
        probe.type = kProbeJeti;
        probe.device = handle;
        probe.serialNumber = QString::number(serial);
        probe.displayName = QStringLiteral("JETI SPECBOS 1211 - SN") + probe.serialNumber;
        probe.driverState = kJetiStartMeasurement;
    }
    return true;
}

// ---- Measuring ------------------------------------------------------------------------------

// The countdown of polls: a measurement starts at 50, is asked about from 1 on, and the next
// one starts in the poll that delivers.
int JetiDriver::poll(int row, float& X, float& Y, float& Z, Tsprad& spectrum) {
    if (probeTypeAt(probes_, row) != kProbeJeti || !f_.complete()) return 0;
    Tsmlist& probe = probes_[row];
    int result = 0;
    if (probe.driverState == kJetiAskForResult) {
        result = askForResult(probe, X, Y, Z, spectrum);
    } else if (probe.driverState > kJetiAskForResult) {
        --probe.driverState;
    } else {
        probe.driverState = kJetiStartMeasurement;
    }
    if (probe.driverState == kJetiStartMeasurement) startMeasurement(probe);
    return result;
}

// While the instrument is busy (or cannot say), it is asked again at the next poll. A finished
// measurement whose values cannot be fetched, or are no numbers, gives no result; the next
// measurement starts either way.
int JetiDriver::askForResult(Tsmlist& probe, float& X, float& Y, float& Z, Tsprad& spectrum) {
    int32_t busy = 1;
    if (f_.measureStatus(probe.device, &busy) != 0 || busy != 0) return 0;
    probe.driverState = kJetiStartMeasurement;
    float x = 0.0f, y = 0.0f, z = 0.0f;
    std::array<float, kJetiSpectrumValues> radiance{};
    if (f_.chromXyz(probe.device, kJetiFirstWavelength, kJetiLastWavelength, &x, &y, &z) != 0 ||
        f_.specRad(probe.device, kJetiFirstWavelength, kJetiLastWavelength, radiance.data()) != 0)
        return 0;
    const auto finite = [](float v) { return std::isfinite(v); };
    if (!finite(x) || !finite(y) || !finite(z) ||
        !std::all_of(radiance.begin(), radiance.end(), finite))
        return 0;
    X = x;
    Y = y;
    Z = z;
    spectrum.firstWavelength = kJetiFirstWavelength;
    spectrum.lastWavelength = kJetiLastWavelength;
    spectrum.count = kJetiSpectrumValues;
    std::transform(radiance.begin(), radiance.end(), spectrum.values.begin(),
                   [](float v) { return v * kRadianceScale; });
    return 1;
}

void JetiDriver::startMeasurement(Tsmlist& probe) {
    f_.setCycModeConf(probe.device, kSingleMeasurement);
    f_.setCycTimeConf(probe.device, kCycleTime);
    f_.measure(probe.device, kAutomaticIntegration, kOneAverage, kStepOne);
    probe.driverState = kJetiWaitPolls;
}

void JetiDriver::close() {
    for (Tsmlist& probe : probes_) {
        if (probe.type != kProbeJeti) continue;
        if (f_.closeDevice) f_.closeDevice(probe.device);
        probe.type = kProbeFree;
    }
}

}  // namespace vqs
