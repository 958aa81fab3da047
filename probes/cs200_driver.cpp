#include "probes/cs200_driver.h"

#include "platform/vendor_library.h"
#include "probes/cs200_replies.h"

#include <QScopeGuard>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace vqs {

namespace {

constexpr int kNormalRange = 2;
constexpr int kPieceWaitMs = 1;  // between reads that brought nothing yet

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

// From loading to the end of the enumeration the library runs its start-up: its mark stays till
// then.
bool Cs200Driver::open() {
    const auto startedUp = qScopeGuard([this] { library_->startUpDone(); });
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

void Cs200Driver::setStartMarkFolder(const QString& folder) {
    library_->setStartMarkFolder(folder);
}

std::vector<VendorLibraryTrouble> Cs200Driver::libraryTroubles() const {
    std::optional<VendorLibraryTrouble> trouble = library_->trouble();
    if (!trouble) return {};
    trouble->probe = QStringLiteral("CS-200");
    return {*trouble};
}

// Every instrument's connection is opened first and all settle in the same second, so start-up
// waits once, not once per instrument. Each is identified, listed, and closed again.
void Cs200Driver::enumerate(const Cs200Functions& functions) {
    f_ = functions;
    lastSpeed_.fill(kCs200NoSpeedSent);
    opening_.fill(Opening{});
    endsLines_.fill(false);
    if (!f_.complete()) return;
    const int count = std::min(f_.get_num(), kCs200MostInstruments);
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

// One command and its reply.
QByteArray Cs200Driver::command(int device, const QByteArray& text) {
    f_.write64_usb(device, text.constData(), kCs200TransferMode, static_cast<int>(text.size()));
    return readReply(device);
}

// Reads until the reply is whole, its time is up, or the library has been read more often than
// a reply's pieces and waits take (a clock that stands still ends it too); empty for a reply that
// did not come whole (its rest, when it comes later, is passed over by the next reply's reading).
// The buffer is larger than the library is told and filled anew before each read, so what a read
// wrote can be told from what it did not.
QByteArray Cs200Driver::readReply(int device) {
    const bool known = device >= 0 && device < kCs200MostInstruments;
    Cs200ReplyReader reader(known && endsLines_[device]);
    const int64_t deadline = timing_.steadyMs() + timing_.replyMs;
    std::array<char, kCs200ReplyBuffer> buffer{};
    const int mostReads = kCs200MostPieces + std::max(timing_.replyMs, 0) / kPieceWaitMs;
    std::optional<QByteArray> reply;
    for (int reads = 0; !reply && reads < mostReads; ++reads) {
        buffer.fill(kCs200Unwritten);
        f_.read64_usb(device, buffer.data(), kCs200TransferMode, kCs200ReplyCapacity);
        reply = reader.add(QByteArrayView(buffer.data(), kCs200ReplyCapacity));
        if (reply || timing_.steadyMs() >= deadline) break;
        if (reader.lastReadEmpty()) timing_.sleepMs(kPieceWaitMs);
    }
    if (known) endsLines_[device] = reader.endsLines();
    return reply.value_or(QByteArray());
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
