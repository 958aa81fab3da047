#include "probes/cs200_driver.h"

#include "platform/vendor_library.h"
#include "probes/cs200_replies.h"

#include <chrono>
#include <thread>
#include <vector>

namespace vqs {

namespace {

constexpr int kNormalRange = 2;
// A count beyond any USB bus is a library's error, not that many instruments.
constexpr int kMostInstruments = 64;

int64_t processSteadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

Cs200Driver::Cs200Driver(ProbeList& probes) : Cs200Driver(probes, Timing{}) {}

Cs200Driver::Cs200Driver(ProbeList& probes, Timing timing)
    : probes_(probes), timing_(std::move(timing)), library_(std::make_unique<VendorLibrary>()) {
    if (!timing_.steadyMs) timing_.steadyMs = processSteadyMs;
    if (!timing_.sleepMs)
        timing_.sleepMs = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    lastSpeed_.fill(kCs200NoSpeedSent);
}

Cs200Driver::~Cs200Driver() = default;

int Cs200Driver::lastSpeed(int row) const {
    return row >= 0 && row < kProbeRows ? lastSpeed_[row] : kCs200NoSpeedSent;
}

// ---- Enumeration ----------------------------------------------------------------------------

bool Cs200Driver::open() {
    if (!library_->load(QString::fromLatin1(kCs200LibraryName))) return false;
    Cs200Functions functions;
    functions.get_num = library_->resolveAs<Cs200DeviceCount>("get_num");
    functions.int_usb = library_->resolveAs<Cs200Open>("int_usb");
    functions.end_usb = library_->resolveAs<Cs200Close>("end_usb");
    functions.write64_usb = library_->resolveAs<Cs200Write>("write64_usb");
    functions.read64_usb = library_->resolveAs<Cs200Read>("read64_usb");
    enumerate(functions);
    return f_.complete();
}

// Every instrument's connection is opened first and all settle in the same second, so start-up
// waits once, not once per instrument. Each is identified, listed, and closed again.
void Cs200Driver::enumerate(const Cs200Functions& functions) {
    f_ = functions;
    lastSpeed_.fill(kCs200NoSpeedSent);
    opening_.fill(Opening{});
    if (!f_.complete()) return;
    const int count = std::min(f_.get_num(), kMostInstruments);
    std::vector<int> opened;
    for (int device = 0; device < count; ++device)
        if (f_.int_usb(device) == 0) opened.push_back(device);
    if (opened.empty()) return;
    timing_.sleepMs(timing_.settleMs);
    for (const int device : opened) {
        command(device, kCs200RemoteOn);
        const std::optional<QByteArray> serial = cs200SerialNumber(command(device, kCs200Identify));
        if (serial) addInstrument(device, *serial);
        f_.end_usb(device);
    }
}

void Cs200Driver::addInstrument(int device, const QByteArray& serial) {
    const int row = findFreeProbeRow(probes_);
    if (row < 0) return;
    Tsmlist& probe = probes_[row];
    probe.type = kProbeCs200;
    probe.device = device;
    probe.serialNumber = QString::fromLatin1(serial);
    probe.displayName = QStringLiteral("CS200 - SN") + probe.serialNumber;
    probe.driverState = kCs200NotOpen;
    probe.userRange = kNormalRange;
}

// One command and its reply; the reply buffer is larger than the library is told, so the text
// always ends inside it.
QByteArray Cs200Driver::command(int device, const QByteArray& text) {
    f_.write64_usb(device, text.constData(), kCs200TransferMode, static_cast<int>(text.size()));
    std::array<char, kCs200ReplyBuffer> reply{};
    f_.read64_usb(device, reply.data(), kCs200TransferMode, kCs200ReplyCapacity);
    return cs200ReplyText(QByteArrayView(reply.data(), kCs200ReplyCapacity)).toByteArray();
}

// ---- Measuring ------------------------------------------------------------------------------

int Cs200Driver::poll(int row, float& X, float& Y, float& Z, Tsprad&) {
    if (probeTypeAt(probes_, row) != kProbeCs200 || !f_.complete()) return 0;
    Tsmlist& probe = probes_[row];
    if (probe.driverState == kCs200NotOpen) return openConnection(row, probe);
    return readMeasurement(row, probe, X, Y, Z);
}

// The connection is asked for in one poll; the instrument is spoken to in the first poll after
// its second of settling. One that failed to open is asked again after that second.
int Cs200Driver::openConnection(int row, Tsmlist& probe) {
    Opening& opening = opening_[row];
    const int64_t now = timing_.steadyMs();
    if (!opening.started) {
        opening.started = true;
        opening.rc = f_.int_usb(probe.device);
        opening.readyAtMs = now + timing_.settleMs;
        return 0;
    }
    if (now < opening.readyAtMs) return 0;
    opening.started = false;
    if (opening.rc != 0) return 0;
    command(probe.device, kCs200RemoteOn);
    command(probe.device, kCs200Measure);
    probe.driverState = kCs200Measuring;
    return 0;
}

// A finished measurement is delivered, the operator's range sent when it changed, and the next
// measurement started. Until then nothing is written: the readout keeps the last result.
int Cs200Driver::readMeasurement(int row, Tsmlist& probe, float& X, float& Y, float& Z) {
    const std::optional<Cs200Xyz> xyz = parseCs200Measurement(command(probe.device, kCs200ReadXyz));
    if (!xyz) return 0;
    X = xyz->X;
    Y = xyz->Y;
    Z = xyz->Z;
    if (lastSpeed_[row] != probe.userRange) {
        const QByteArray speed = cs200SpeedCommand(probe.userRange);
        if (!speed.isEmpty()) {
            lastSpeed_[row] = static_cast<int8_t>(probe.userRange);
            command(probe.device, speed);
        }
    }
    command(probe.device, kCs200Measure);
    return 1;
}

}  // namespace vqs
