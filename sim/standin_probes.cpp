#include "sim/standin_probes.h"

#include "platform/vendor_library.h"
#include "probes/cs200_library.h"
#include "probes/jeti_library.h"
#include "sim/display_model.h"

#include <algorithm>

namespace vqs::sim {

namespace {

void displayRadiance(void* context, float* radiance401) {
    const Cs2000Spectrum radiance = static_cast<const DisplayModel*>(context)->radiance();
    std::copy(radiance.begin(), radiance.end(), radiance401);
}

void useLabFolder() {
    if (qEnvironmentVariableIsEmpty(kProbeLibraryDirVariable))
        qputenv(kProbeLibraryDirVariable, QByteArrayLiteral(VQS_SIM_VENDOR_DIR));
}

}  // namespace

// ---- CS-200 ------------------------------------------------------------------------------------

// Resolved once: the program's loader may let go of the library meanwhile, its code stays mapped.
struct Cs200StandIn::Controls {
    VqsSimCs200SetRadianceSourceFn setRadianceSource = nullptr;
    VqsSimCs200SetIntFn setInstruments = nullptr;
    VqsSimCs200SetIntFn setFault = nullptr;
    VqsSimCs200SetTimeScaleFn setTimeScale = nullptr;
    VqsSimCs200ResetFn reset = nullptr;
    VqsSimCs200CommandLogFn commandLog = nullptr;

    bool complete() const {
        return setRadianceSource && setInstruments && setFault && setTimeScale && reset &&
               commandLog;
    }
};

Cs200StandIn::Cs200StandIn() = default;

Cs200StandIn::~Cs200StandIn() {
    if (controls_) controls_->setRadianceSource(nullptr, nullptr);
}

bool Cs200StandIn::start(const DisplayModel& display, int instruments) {
    useLabFolder();
    auto library = std::make_unique<VendorLibrary>();
    if (!library->load(QString::fromLatin1(kCs200LibraryName))) return false;
    auto controls = std::make_unique<Controls>();
    controls->setRadianceSource =
        library->resolveAs<VqsSimCs200SetRadianceSourceFn>("vqsSimCs200SetRadianceSource");
    controls->setInstruments = library->resolveAs<VqsSimCs200SetIntFn>("vqsSimCs200SetInstruments");
    controls->setFault = library->resolveAs<VqsSimCs200SetIntFn>("vqsSimCs200SetFault");
    controls->setTimeScale =
        library->resolveAs<VqsSimCs200SetTimeScaleFn>("vqsSimCs200SetTimeScale");
    controls->reset = library->resolveAs<VqsSimCs200ResetFn>("vqsSimCs200Reset");
    controls->commandLog = library->resolveAs<VqsSimCs200CommandLogFn>("vqsSimCs200CommandLog");
    if (!controls->complete()) return false;
    controls->reset();
    controls->setRadianceSource(displayRadiance, const_cast<DisplayModel*>(&display));
    controls->setInstruments(instruments);
    controls_ = std::move(controls);
    library_ = std::move(library);
    return true;
}

void Cs200StandIn::setInstruments(int count) {
    if (controls_) controls_->setInstruments(count);
}

void Cs200StandIn::setFault(int fault) {
    if (controls_) controls_->setFault(fault);
}

void Cs200StandIn::setTimeScale(double scale) {
    if (controls_) controls_->setTimeScale(scale);
}

QByteArray Cs200StandIn::commandLog() const {
    if (!controls_) return {};
    const int length = controls_->commandLog(nullptr, 0);
    QByteArray log(length + 1, '\0');
    controls_->commandLog(log.data(), static_cast<int>(log.size()));
    log.chop(1);
    return log;
}

// ---- JETI --------------------------------------------------------------------------------------

struct JetiStandIn::Controls {
    VqsSimJetiSetRadianceSourceFn setRadianceSource = nullptr;
    VqsSimJetiSetIntFn setInstruments = nullptr;
    VqsSimJetiSetIntFn setFault = nullptr;
    VqsSimJetiSetTimeScaleFn setTimeScale = nullptr;
    VqsSimJetiResetFn reset = nullptr;
    VqsSimJetiMeasurementsFn measurements = nullptr;

    bool complete() const {
        return setRadianceSource && setInstruments && setFault && setTimeScale && reset &&
               measurements;
    }
};

JetiStandIn::JetiStandIn() = default;

JetiStandIn::~JetiStandIn() {
    if (controls_) controls_->setRadianceSource(nullptr, nullptr);
}

bool JetiStandIn::start(const DisplayModel& display, int instruments) {
    useLabFolder();
    auto core = std::make_unique<VendorLibrary>();
    auto radio = std::make_unique<VendorLibrary>();
    if (!core->load(QString::fromLatin1(kJetiCoreLibraryName)) ||
        !radio->load(QString::fromLatin1(kJetiRadioLibraryName)))
        return false;
    auto controls = std::make_unique<Controls>();
    controls->setRadianceSource =
        core->resolveAs<VqsSimJetiSetRadianceSourceFn>("vqsSimJetiSetRadianceSource");
    controls->setInstruments = core->resolveAs<VqsSimJetiSetIntFn>("vqsSimJetiSetInstruments");
    controls->setFault = core->resolveAs<VqsSimJetiSetIntFn>("vqsSimJetiSetFault");
    controls->setTimeScale = core->resolveAs<VqsSimJetiSetTimeScaleFn>("vqsSimJetiSetTimeScale");
    controls->reset = core->resolveAs<VqsSimJetiResetFn>("vqsSimJetiReset");
    controls->measurements = core->resolveAs<VqsSimJetiMeasurementsFn>("vqsSimJetiMeasurements");
    if (!controls->complete()) return false;
    controls->reset();
    controls->setRadianceSource(displayRadiance, const_cast<DisplayModel*>(&display));
    controls->setInstruments(instruments);
    controls_ = std::move(controls);
    core_ = std::move(core);
    radio_ = std::move(radio);
    return true;
}

void JetiStandIn::setInstruments(int count) {
    if (controls_) controls_->setInstruments(count);
}

void JetiStandIn::setFault(int fault) {
    if (controls_) controls_->setFault(fault);
}

void JetiStandIn::setTimeScale(double scale) {
    if (controls_) controls_->setTimeScale(scale);
}

int JetiStandIn::measurementsStarted() const {
    return controls_ ? controls_->measurements() : 0;
}

}  // namespace vqs::sim
