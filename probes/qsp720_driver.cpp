#include "probes/qsp720_driver.h"

#include "platform/vendor_library.h"
#include "probes/qsp720_cal_file.h"
#include "probes/qsp720_device_memory.h"
#include "probes/qsp720_processing.h"

#include <QScopeGuard>

#include <algorithm>
#include <cstdio>

namespace vqs {

namespace {

constexpr int kNormalRange = 2;
constexpr int kUpdateFirst = 1;  // SWDupdate(1, 0, 0)
constexpr int kExtraRateMode = 2;
constexpr int kFirstCoefficientBlock = 128;
constexpr int kLastCoefficientBlock = 224;  // read, not used

// The brightness scan averages one scan more in the steps that follow a change of range.
bool takesExtraScan(int calScanStep) {
    return calScanStep == 18 || calScanStep == 16 || calScanStep == 14 || calScanStep == 12;
}

}  // namespace

Qsp720Driver::Qsp720Driver(ProbeList& probes, bool& logNextMeasurement, Hooks hooks)
    : probes_(probes),
      logNextMeasurement_(logNextMeasurement),
      hooks_(std::move(hooks)),
      library_(std::make_unique<VendorLibrary>()) {}

Qsp720Driver::~Qsp720Driver() = default;

// ---- Detection and opening ------------------------------------------------------------------

// From loading to the opened devices the library runs its start-up: its mark stays till then.
bool Qsp720Driver::open() {
    const auto startedUp = qScopeGuard([this] { library_->startUpDone(); });
    if (!detectQsp720()) return false;
    openQsp720Devices();
    return true;
}

void Qsp720Driver::setStartMarkFolder(const QString& folder) {
    library_->setStartMarkFolder(folder);
}

std::vector<VendorLibraryTrouble> Qsp720Driver::libraryTroubles() const {
    std::optional<VendorLibraryTrouble> trouble = library_->trouble();
    if (!trouble) return {};
    trouble->probe = QStringLiteral("QSP720");
    return {*trouble};
}

bool Qsp720Driver::detectQsp720() {
    libraryState_ = kQsp720LibraryClosed;
    if (!library_->load(QString::fromLatin1(kQsp720LibraryName))) return false;
    Qsp720Functions functions;
    functions.SWDinit = library_->resolveAs<Qsp720Init>("SWDinit");
    functions.SWDdevcnt = library_->resolveAs<Qsp720DeviceCount>("SWDdevcnt");
    functions.SWDeeRead = library_->resolveAs<Qsp720MemoryRead>("SWDeeRead");
    functions.SWDrate = library_->resolveAs<Qsp720Rate>("SWDrate");
    functions.SWDupdate = library_->resolveAs<Qsp720Update>("SWDupdate");
    functions.SWDxtrate = library_->resolveAs<Qsp720ExtraRate>("SWDxtrate");
    functions.SWDscanLV = library_->resolveAs<Qsp720Scan>("SWDscanLV");
    functions.SWDclose = library_->resolveAs<Qsp720Close>("SWDclose");
    return detect(functions);
}

// Device 1 must answer with a printable identity text; anything else is no QSP720. A library
// that lacks an export is another version or another maker's: it is not called at all, since
// a probe opened on it would never deliver.
bool Qsp720Driver::detect(const Qsp720Functions& functions) {
    libraryState_ = kQsp720LibraryClosed;
    f_ = functions;
    if (!f_.complete()) {
        unloadLibrary();
        return false;
    }
    f_.SWDinit();
    if (f_.SWDdevcnt() >= 1) {
        Qsp720Memory memory{};
        if (hasPrintableIdentity(memory, readMemory(1, memory))) return true;
    }
    f_.SWDclose();
    unloadLibrary();
    return false;
}

// The memory bytes from address 0 that could be read, block by block.
int Qsp720Driver::readMemory(int device, std::span<uint8_t, kQsp720MemoryBytes> memory) {
    std::fill(memory.begin(), memory.end(), uint8_t{0});
    int read = 0;
    for (int address = 0; address < kQsp720MemoryBytes; address += kQsp720MemoryBlock) {
        if (!f_.SWDeeRead(static_cast<int16_t>(device), address, memory.data() + address)) break;
        read += kQsp720MemoryBlock;
    }
    return read;
}

void Qsp720Driver::openQsp720Devices() {
    const int devices = f_.SWDdevcnt ? f_.SWDdevcnt() : 0;
    // Devices beyond a full list get no row, so counting them on changes nothing.
    for (int device = 1; device <= devices; ++device) {
        const int row = findFreeProbeRow(probes_);
        if (row < 0) break;
        openDevice(device, row);
    }
    accumulation_.fill(0.0f);
}

void Qsp720Driver::openDevice(int device, int row) {
    Tsmlist& probe = probes_[row];
    toldUnusable_[row] = false;
    probe.type = kProbeQsp720;
    probe.deviceNumber = device;
    probe.range = 0;
    probe.userRange = kNormalRange;
    readWavelengths(device, probe);
    unusable_[row] = !hasUsableWavelengths(probe);
    probe.sampleCount = kQsp720Pixels;
    for (auto& dark : probe.darkData) dark.fill(0.0f);
    probe.calCurve.fill(1.0f);

    Qsp720Memory memory{};
    readMemory(device, memory);
    const std::optional<QString> serial = serialFromMemory(memory);
    probe.serialNumber = serial.value_or(QString());
    probe.displayName = serial ? QStringLiteral("NV QSP720 - SN") + *serial : QString();

    if (hooks_.loadStoredData) hooks_.loadStoredData(probe);
    readCalFile(probe);

    setRate(kQsp720OpeningRate);
    if (f_.SWDupdate) f_.SWDupdate(kUpdateFirst, 0, 0);
    if (f_.SWDxtrate) f_.SWDxtrate(kExtraRateMode);
    libraryState_ = kQsp720DevicesOpen;
}

// The coefficients are texts in their memory blocks; the first must look like one, or none is
// read. A coefficient that cannot be read counts as 0.
void Qsp720Driver::readWavelengths(int device, Tsmlist& probe) {
    std::array<double, 3> c{};
    std::array<uint8_t, kQsp720MemoryBlock> block{};
    const auto read = [&](int address) {
        block.fill(0);
        return f_.SWDeeRead(static_cast<int16_t>(device), address, block.data()) != 0;
    };
    if (read(kFirstCoefficientBlock) && isCoefficientText(block)) {
        c[0] = coefficientFromBlock(block);
        for (int address = kFirstCoefficientBlock + kQsp720MemoryBlock, i = 1;
             address <= kLastCoefficientBlock; address += kQsp720MemoryBlock, ++i) {
            if (!read(address)) break;
            if (i < 3) c[i] = coefficientFromBlock(block);
        }
    }
    setPixelWavelengths(probe, {c[0], c[1], c[2]});
}

// ---- Measuring ------------------------------------------------------------------------------

int Qsp720Driver::poll(int row, float& X, float& Y, float& Z, Tsprad& spectrum) {
    if (libraryState_ == kQsp720LibraryClosed) {
        X = Y = Z = 0.0f;
        return 0;
    }
    if (probeTypeAt(probes_, row) != kProbeQsp720) return 0;
    if (unusable_[row]) {
        tellUnusableOnce(row);
        return 0;
    }
    Tsmlist& probe = probes_[row];
    const int rc = f_.SWDscanLV ? f_.SWDscanLV(probe.deviceNumber, scanBuffer_.data()) : 1;
    libraryState_ = kQsp720ScanRequested;
    if (rc != 0) return 0;  // the detector is still integrating

    if (accumulate(probe) == 0) return 0;

    const int old = probe.range;
    const std::span<float, kProbeSamples> dark = qsp720DarkOf(probe, old);
    if (calScanStep_ != 0) {
        keepPreviousCalibration(probe);
        RangeLuminances seen{};
        const CalScanEnd scanEnd = applyCalScanStep(
            probe, calScanStep_, std::span<const float>(accumulation_.data(), kQsp720Pixels), dark,
            &seen);
        judgeFinishedScan(scanEnd, row, probe, seen);
    }
    const Qsp720ResultOutcome outcome =
        finishQsp720Result(probe, old, calScanStep_, accumulation_, dark, X, Y, Z, spectrum);
    if (outcome.rangeChanged) {
        if (f_.SWDupdate) f_.SWDupdate(kUpdateFirst, 0, 0);
        setRate(qsp720RangeTime(probe, probe.range));
    }
    if (logNextMeasurement_) {
        if (hooks_.logMeasurement)
            hooks_.logMeasurement(row, X, Y, Z,
                                  std::span<const float>(accumulation_.data(), kQsp720Pixels));
        logNextMeasurement_ = false;
    }
    probe.scanCount = 0;
    requestScan(probe);
    return outcome.result;
}

// Adds the finished scan to the result; the mean once enough scans are in, else 0 (the next
// scan is requested). After a change of range the first complete result is discarded.
int Qsp720Driver::accumulate(Tsmlist& probe) {
    if (probe.scanCount != 0 && probe.range != 0)
        std::transform(accumulation_.begin(), accumulation_.end(), scanBuffer_.begin(),
                       accumulation_.begin(), std::plus<>());
    else
        accumulation_ = scanBuffer_;
    probe.scanCount = std::max(probe.scanCount, 0) + 1;

    if (probe.range != 0) {
        const int wanted =
            qsp720AveragingCount(probe.range) + (takesExtraScan(calScanStep_) ? 1 : 0);
        if (probe.scanCount < wanted) {
            requestScan(probe);
            return 0;
        }
        if (probe.skipCount > 0) {
            --probe.skipCount;
            probe.scanCount = 0;
            requestScan(probe);
            return 0;
        }
    }
    const float scans = static_cast<float>(probe.scanCount);
    for (float& value : accumulation_) value /= scans;
    return probe.scanCount;
}

void Qsp720Driver::requestScan(const Tsmlist& probe) {
    if (f_.SWDscanLV) f_.SWDscanLV(probe.deviceNumber, scanBuffer_.data());
}

void Qsp720Driver::setRate(int32_t milliseconds) {
    if (f_.SWDrate) f_.SWDrate(milliseconds);
}

// ---- Calibration scans ----------------------------------------------------------------------

// What a scan replaces, taken at its first step, so that a doubtful scan can give it back.
void Qsp720Driver::keepPreviousCalibration(const Tsmlist& probe) {
    if (calScanStep_ == kDarkScanStart) previousDark_ = probe.darkData;
    if (calScanStep_ == kBrightnessScanStart) previousFactors_ = probe.rangeFactor;
}

// A scan that did what the operator meant is kept at once. A doubtful one is held back: the
// probe goes on with its previous data, and the operator is asked whether to take the new.
void Qsp720Driver::judgeFinishedScan(CalScanEnd end, int row, Tsmlist& probe,
                                     const RangeLuminances& seen) {
    if (end == CalScanEnd::None) return;
    const bool dark = end == CalScanEnd::DarkScanDone;
    const QString doubt = dark ? darkScanDoubt(probe, previousDark_) : brightnessScanDoubt(seen);
    if (doubt.isEmpty()) {
        keepScan(end, probe);
        if (hooks_.scanComplete) hooks_.scanComplete();
        return;
    }
    held_ = HeldScan{row, end, probe.darkData, probe.rangeFactor};
    if (dark)
        probe.darkData = previousDark_;
    else
        probe.rangeFactor = previousFactors_;
    std::fprintf(stderr, "lumiquest: %s\n", qPrintable(doubt));
    const QString data = dark ? QStringLiteral("dark data") : QStringLiteral("range factors");
    if (hooks_.scanDoubtful)
        hooks_.scanDoubtful(
            QStringLiteral("%1\n\nThe probe goes on with its previous %2. Take the new %2 anyway?")
                .arg(doubt, data));
}

void Qsp720Driver::keepScan(CalScanEnd end, const Tsmlist& probe) {
    if (end == CalScanEnd::DarkScanDone && hooks_.saveDarkData) hooks_.saveDarkData(probe);
    if (end == CalScanEnd::BrightnessScanDone && hooks_.saveRangeFactors)
        hooks_.saveRangeFactors(probe);
}

void Qsp720Driver::settleHeldScan(bool take) {
    if (!held_) return;
    const HeldScan held = std::move(*held_);
    held_.reset();
    if (!take || probeTypeAt(probes_, held.row) != kProbeQsp720) return;
    Tsmlist& probe = probes_[held.row];
    if (held.kind == CalScanEnd::DarkScanDone)
        probe.darkData = held.dark;
    else
        probe.rangeFactor = held.factors;
    keepScan(held.kind, probe);
}

// Every result would be zero: the operator hears why once, and the readout gets none of them.
void Qsp720Driver::tellUnusableOnce(int row) {
    if (toldUnusable_[row]) return;
    toldUnusable_[row] = true;
    const Tsmlist& probe = probes_[row];
    const QString probeName = probe.displayName.isEmpty()
                                  ? QStringLiteral("The QSP720 without serial number")
                                  : QStringLiteral("The probe ") + probe.displayName;
    const QString text = QStringLiteral(
                             "%1 gives no readings: the wavelength coefficients in its "
                             "memory put its pixels at %2 to %3 nm, which miss 380 to "
                             "780 nm.")
                             .arg(probeName)
                             .arg(probe.wavelength[0], 0, 'g', 6)
                             .arg(probe.wavelength[kQsp720Pixels - 1], 0, 'g', 6);
    std::fprintf(stderr, "lumiquest: %s\n", qPrintable(text));
    if (hooks_.tell) hooks_.tell(text);
}

// ---- Release and shutdown -------------------------------------------------------------------

// A channel stops polling the probe: a scan that has finished meanwhile is collected.
void Qsp720Driver::release(int row) {
    if (libraryState_ != kQsp720ScanRequested || probeTypeAt(probes_, row) != kProbeQsp720) return;
    if (f_.SWDscanLV && f_.SWDscanLV(probes_[row].deviceNumber, scanBuffer_.data()) == 0)
        libraryState_ = kQsp720DevicesOpen;
}

void Qsp720Driver::close() {
    for (Tsmlist& probe : probes_)
        if (probe.type == kProbeQsp720) probe.type = kProbeFree;
    if (libraryState_ != kQsp720LibraryClosed && f_.SWDclose) f_.SWDclose();
    libraryState_ = kQsp720LibraryClosed;
    unloadLibrary();
}

void Qsp720Driver::unloadLibrary() {
    f_ = {};
    library_->unload();
}

}  // namespace vqs
