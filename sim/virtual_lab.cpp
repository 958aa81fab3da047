#include "sim/virtual_lab.h"

#include "platform/serial_port.h"
#include "platform/vendor_library.h"
#include "probes/qsp720_library.h"
#include "sim/qsp720_standin_control.h"

#include <QMap>

namespace vqs::sim {

VirtualLab::VirtualLab(QObject* parent) : QObject(parent), cs2000_(display_, this) {}

VirtualLab::~VirtualLab() {
    // The stand-in may stay loaded in the program: it must not call into a lab that is gone.
    if (qsp720Controls_.setRadianceSource != nullptr)
        qsp720Controls_.setRadianceSource(nullptr, nullptr);
}

bool VirtualLab::startCs2000(int comNumber) {
    return cs2000_.start(comDevicePath(comNumber));
}

QString VirtualLab::startNetworkMonitor(const QString& address, const QByteArray& name,
                                        const QByteArray& serial) {
    auto monitor = std::make_unique<VirtualNetworkMonitor>(address, name, serial);
    if (!monitor->start()) return monitor->error();
    networkMonitors_.push_back(std::move(monitor));
    return {};
}

VirtualNetworkMonitor* VirtualLab::networkMonitor(const QString& address) {
    for (const auto& monitor : networkMonitors_)
        if (monitor->address() == address) return monitor.get();
    return nullptr;
}

QString VirtualLab::startSerialMonitor(int comNumber) {
    serialMonitor_ = std::make_unique<VirtualSerialMonitor>();
    // It says "OK!" once a second, as a monitor that wants its report queried does.
    serialMonitor_->setPresenceInterval(1000);
    if (serialMonitor_->start(comDevicePath(comNumber))) return {};
    const QString reason = serialMonitor_->error();
    serialMonitor_.reset();
    return reason;
}

QString VirtualLab::command(const QString& line) {
    static const QMap<QString, Cs2000Fault> kFaults = {
        {"none", Cs2000Fault::None},        {"silence", Cs2000Fault::Silence},
        {"error", Cs2000Fault::ErrorCode},  {"short", Cs2000Fault::ShortBlock},
        {"split", Cs2000Fault::SplitReply}, {"garbage", Cs2000Fault::Garbage},
        {"vanish", Cs2000Fault::Vanish},    {"double", Cs2000Fault::DoubleReply}};
    const QStringList words = line.simplified().split(' ', Qt::SkipEmptyParts);
    if (words.isEmpty()) return {};
    const QString& verb = words[0];
    bool ok = true;
    auto number = [&](int i) {
        return i < words.size() ? words[i].toDouble(&ok) : (ok = false, 0.0);
    };

    if (verb == "show" && words.size() == 4) {
        const int r = number(1), g = number(2), b = number(3);
        if (ok && r >= 0 && r <= 255 && g >= 0 && g <= 255 && b >= 0 && b <= 255) {
            display_.show(QColor(r, g, b));
            return QStringLiteral("ok");
        }
    } else if (verb == "white" && words.size() == 3) {
        DisplayConfig config = display_.config();
        config.white = {number(1), number(2)};
        if (ok && config.white.y > 0) {
            display_.setConfig(config);
            return QStringLiteral("ok");
        }
    } else if (verb == "fault" && words.size() == 2 && kFaults.contains(words[1])) {
        cs2000_.setFault(kFaults.value(words[1]));
        return QStringLiteral("ok");
    } else if (verb == "measure-ms" && words.size() == 2) {
        const double ms = number(1);
        if (ok && ms >= 0) {
            cs2000_.setMeasurementTime(static_cast<int>(ms));
            return QStringLiteral("ok");
        }
    } else if (verb == "status") {
        const Tristimulus t = display_.tristimulus();
        const QColor c = display_.shown();
        return QStringLiteral("showing %1 %2 %3: X %4 Y %5 Z %6")
            .arg(c.red())
            .arg(c.green())
            .arg(c.blue())
            .arg(t.X, 0, 'f', 3)
            .arg(t.Y, 0, 'f', 3)
            .arg(t.Z, 0, 'f', 3);
    }
    return QStringLiteral("? ") + line.simplified();
}

// ---- The stand-in QSP720 ----------------------------------------------------------------------
// It runs inside the program's process: the lab loads the same library file the program's
// loader finds and hands it a function that reads the display model.

namespace {

void displayRadiance(void* context, float* radiance401) {
    const Cs2000Spectrum radiance = static_cast<const DisplayModel*>(context)->radiance();
    std::copy(radiance.begin(), radiance.end(), radiance401);
}

}  // namespace

bool VirtualLab::startQsp720() {
    if (qEnvironmentVariableIsEmpty(kProbeLibraryDirVariable))
        qputenv(kProbeLibraryDirVariable, QByteArrayLiteral(VQS_SIM_VENDOR_DIR));
    auto library = std::make_unique<VendorLibrary>();
    if (!library->load(QString::fromLatin1(kQsp720LibraryName))) return false;
    Qsp720Controls controls;
    controls.setRadianceSource =
        library->resolveAs<VqsSimQsp720SetRadianceSourceFn>("vqsSimQsp720SetRadianceSource");
    controls.setCovered = library->resolveAs<VqsSimQsp720SetIntFn>("vqsSimQsp720SetCovered");
    controls.setFault = library->resolveAs<VqsSimQsp720SetIntFn>("vqsSimQsp720SetFault");
    controls.setTimeScale =
        library->resolveAs<VqsSimQsp720SetTimeScaleFn>("vqsSimQsp720SetTimeScale");
    const auto reset = library->resolveAs<VqsSimQsp720ResetFn>("vqsSimQsp720Reset");
    if (!controls.setRadianceSource || !controls.setCovered || !controls.setFault ||
        !controls.setTimeScale || !reset)
        return false;
    reset();
    controls.setRadianceSource(displayRadiance, &display_);
    qsp720Controls_ = controls;
    qsp720_ = std::move(library);
    return true;
}

void VirtualLab::coverQsp720(bool covered) {
    if (qsp720Controls_.setCovered) qsp720Controls_.setCovered(covered ? 1 : 0);
}

void VirtualLab::setQsp720Fault(int fault) {
    if (qsp720Controls_.setFault) qsp720Controls_.setFault(fault);
}

void VirtualLab::setQsp720TimeScale(double scale) {
    if (qsp720Controls_.setTimeScale) qsp720Controls_.setTimeScale(scale);
}

QString VirtualLab::qsp720CalFile() { return QStringLiteral(VQS_SIM_QSP720_CAL_FILE); }

}  // namespace vqs::sim
