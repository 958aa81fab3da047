// The virtual lab's CS-200: a stand-in for the maker's USB library "kmsecs200", built as the
// shared library the program loads (libkmsecs200.so). It models the instruments, not the
// program's driver:
//   - up to eight colorimeters on the bus, each with its serial number, a connection that is
//     opened and closed, remote mode, and one reply owed per command;
//   - the command texts "RMT,1", "IDR", "MES,1", "MDR,3" and the speed modes "SPS,6,0" (auto)
//     and "SPS,5,n" (n times the shortest time); replies are zero-terminated texts, "OK00,..."
//     or an error code ("ER10" while the measurement is not finished);
//   - a measurement takes its time: in auto mode the instrument integrates longer the less light
//     it sees, in a manual mode as long as the multiple says; the light is taken when it ends;
//   - X, Y, Z from the light with the CIE 1931 observer, with the small filter mismatch of a
//     tristimulus colorimeter and a little noise;
//   - on request (a fault mode), replies that arrive in pieces, as the USB pipe carries them.
// The light comes from the lab (see sim/cs200_standin_control.h).

#include "probes/cs200_library.h"
#include "sim/cs200_standin_control.h"
#include "sim/standin_light.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <type_traits>

#define VQS_EXPORT __attribute__((visibility("default")))

namespace {

using Clock = std::chrono::steady_clock;
using vqs::sim::StandInRadiance;

constexpr int kMostInstruments = 8;
constexpr std::size_t kLongestCommandLog = 1 << 20;
constexpr double kProcessingMs = 200.0;
constexpr std::size_t kPieceBytes = 24;
constexpr std::size_t kLateBytes = 10;  // the end of a reply that comes late
constexpr double kShortestManualMs = 100.0;
// Auto mode integrates until it has seen enough light, within these bounds.
constexpr double kAutoLightMsCdm2 = 40000.0;
constexpr double kAutoShortestMs = 100.0;
constexpr double kAutoLongestMs = 3000.0;
// The filters' mismatch to the CIE functions, per channel.
constexpr std::array<double, 3> kFilterMismatch = {1.004, 0.998, 0.994};

struct Colorimeter {
    bool open = false;
    bool remote = false;
    bool measuring = false;
    bool hasResult = false;
    bool autoSpeed = true;
    int multiple = 1;
    double measuringMs = 0.0;
    Clock::time_point start;
    std::array<double, 3> result{};
    std::string reply;  // owed to the last command
    std::string pipe;   // in the fault modes with pieces: the bytes not read yet
    std::string late;   // bytes that reach the pipe only with the next command
    bool cameLate = false;
};

struct Bus {
    std::mutex mutex;
    int instruments = 0;
    int fault = kVqsSimCs200NoFault;
    double timeScale = 1.0;
    VqsSimCs200RadianceSource source = nullptr;
    void* sourceContext = nullptr;
    std::array<Colorimeter, kMostInstruments> colorimeters{};
    std::string commandLog;
    std::mt19937 noise{200};

    void reset() {
        instruments = 0;
        fault = kVqsSimCs200NoFault;
        timeScale = 1.0;
        colorimeters.fill(Colorimeter{});
        commandLog.clear();
        noise.seed(200);
    }
    int count() const { return fault == kVqsSimCs200NoInstrument ? 0 : instruments; }
    bool inPieces() const {
        return fault == kVqsSimCs200Pieces || fault == kVqsSimCs200PiecesOneLate;
    }
    Colorimeter* at(int device) {
        return device >= 0 && device < count() ? &colorimeters[device] : nullptr;
    }
    StandInRadiance light() {
        StandInRadiance radiance{};
        if (source != nullptr) source(sourceContext, radiance.data());
        return radiance;
    }
};

Bus& bus() {
    static Bus the;
    return the;
}

std::string serialOf(int device) {
    return "SIM2000" + std::to_string(device + 1);
}

double elapsedMs(const Bus& b, const Colorimeter& c) {
    return std::chrono::duration<double, std::milli>(Clock::now() - c.start).count() * b.timeScale;
}

double measuringTimeMs(Bus& b, const Colorimeter& c) {
    if (!c.autoSpeed) return c.multiple * kShortestManualMs + kProcessingMs;
    const double luminance = std::max(vqs::sim::standInTristimulus(b.light()).Y, 1e-6);
    return std::clamp(kAutoLightMsCdm2 / luminance, kAutoShortestMs, kAutoLongestMs) +
           kProcessingMs;
}

// The reading at the end of a measurement: a short integration is noisier in the dark.
void finishMeasurement(Bus& b, Colorimeter& c) {
    const vqs::sim::StandInXyz xyz = vqs::sim::standInTristimulus(b.light());
    const double integrationMs = std::max(c.measuringMs - kProcessingMs, 1.0);
    std::normal_distribution<double> gainNoise(0.0, 0.001);
    std::normal_distribution<double> floorNoise(0.0, 0.2 / integrationMs);
    const std::array<double, 3> value = {xyz.X, xyz.Y, xyz.Z};
    for (int i = 0; i < 3; ++i)
        c.result[i] = std::max(
            0.0, value[i] * kFilterMismatch[i] * (1.0 + gainNoise(b.noise)) + floorNoise(b.noise));
    c.measuring = false;
    c.hasResult = true;
}

std::string measurementReply(Bus& b, Colorimeter& c) {
    if (c.measuring && b.fault != kVqsSimCs200NeverFinishes && elapsedMs(b, c) >= c.measuringMs)
        finishMeasurement(b, c);
    if (c.measuring) return "ER10";
    if (!c.hasResult) return "ER11";
    if (b.fault == kVqsSimCs200ShortReply) return "OK00,3,0";
    // Fields: OK00, data kind (3: X Y Z), speed mode, multiple, sync, calibration channel,
    // observer, measuring time in 0.1 s, flags, then X, Y, Z.
    std::string reply = "OK00,3," + std::string(c.autoSpeed ? "0" : "1") + "," +
                        std::to_string(c.multiple) + ",0,0,2," +
                        std::to_string(static_cast<int>(c.measuringMs / 100.0)) + ",0";
    for (const double v : c.result) reply += "," + vqs::sim::standInFixed(v, 4);
    return reply;
}

std::string speedReply(Colorimeter& c, const std::string& arguments) {
    int mode = 0, multiple = 0;
    if (std::sscanf(arguments.c_str(), "%d,%d", &mode, &multiple) != 2) return "ER00";
    if (mode == 6) {
        c.autoSpeed = true;
        return "OK00";
    }
    if (mode != 5 || multiple < 1 || multiple > 100) return "ER00";
    c.autoSpeed = false;
    c.multiple = multiple;
    return "OK00";
}

std::string replyTo(Bus& b, Colorimeter& c, int device, std::string command) {
    while (!command.empty() && (command.back() == '\n' || command.back() == '\r')) command.pop_back();
    if (command == "RMT,1" || command == "RMT,0") {
        c.remote = command == "RMT,1";
        return "OK00";
    }
    if (!c.remote) return "ER01";
    if (command == "IDR")
        return b.fault == kVqsSimCs200BadIdentification ? "ER00"
                                                         : "OK00,CS-200,1.10," + serialOf(device);
    if (command == "MES,1") {
        c.measuringMs = measuringTimeMs(b, c);
        c.start = Clock::now();
        c.measuring = true;
        c.hasResult = false;
        return "OK00," + std::to_string(static_cast<int>(c.measuringMs / 100.0));
    }
    if (command == "MDR,3") return measurementReply(b, c);
    if (command.rfind("SPS,", 0) == 0) return speedReply(c, command.substr(4));
    return "ER00";
}

bool holdsValues(const std::string& reply) {
    return reply.rfind("OK00,3,", 0) == 0 && std::count(reply.begin(), reply.end(), ',') >= 11;
}

// The reply goes into the pipe behind what is still there, with the instrument's line end.
void queueReply(const Bus& b, Colorimeter& c, const std::string& reply) {
    c.pipe += c.late;
    c.late.clear();
    std::string line = reply + "\r\n";
    if (b.fault == kVqsSimCs200PiecesOneLate && !c.cameLate && holdsValues(reply)) {
        c.cameLate = true;
        c.late = line.substr(line.size() - kLateBytes);
        line.resize(line.size() - kLateBytes);
    }
    c.pipe += line;
}

int readPiece(Colorimeter* c, char* reply, int capacity) {
    std::size_t length = 0;
    if (c != nullptr && c->open) {
        length = std::min({c->pipe.size(), kPieceBytes, static_cast<std::size_t>(capacity - 1)});
        std::memcpy(reply, c->pipe.data(), length);
        c->pipe.erase(0, length);
    }
    reply[length] = '\0';
    return static_cast<int>(length);
}

}  // namespace

extern "C" {

VQS_EXPORT int get_num() {
    Bus& b = bus();
    const std::lock_guard lock(b.mutex);
    return b.count();
}

VQS_EXPORT int int_usb(int device) {
    Bus& b = bus();
    const std::lock_guard lock(b.mutex);
    Colorimeter* c = b.at(device);
    if (c == nullptr || b.fault == kVqsSimCs200CannotOpen) return -1;
    c->open = true;
    return 0;
}

VQS_EXPORT int end_usb(int device) {
    Bus& b = bus();
    const std::lock_guard lock(b.mutex);
    if (Colorimeter* c = b.at(device)) {
        c->open = false;
        c->remote = false;
        c->reply.clear();
        c->pipe.clear();
        c->late.clear();
    }
    return 0;
}

VQS_EXPORT int write64_usb(int device, const char* command, int, int length) {
    Bus& b = bus();
    const std::lock_guard lock(b.mutex);
    if (command == nullptr || length <= 0) return -1;
    const std::string text(command, static_cast<std::size_t>(length));
    // A session by hand may run for hours: the log keeps the recent commands.
    if (b.commandLog.size() > kLongestCommandLog) b.commandLog.erase(0, kLongestCommandLog / 2);
    b.commandLog += text;
    Colorimeter* c = b.at(device);
    if (c == nullptr || !c->open) return -1;
    const std::string reply = replyTo(b, *c, device, text);
    if (b.inPieces())
        queueReply(b, *c, reply);
    else
        c->reply = reply;
    return 0;
}

VQS_EXPORT int read64_usb(int device, char* reply, int, int capacity) {
    Bus& b = bus();
    const std::lock_guard lock(b.mutex);
    if (reply == nullptr || capacity <= 0) return -1;
    Colorimeter* c = b.at(device);
    if (b.inPieces()) return readPiece(c, reply, capacity);
    const std::string text = c != nullptr && c->open ? c->reply : std::string();
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
    std::memcpy(reply, text.data(), length);
    reply[length] = '\0';
    if (c != nullptr) c->reply.clear();
    return static_cast<int>(length);
}

VQS_EXPORT void vqsSimCs200SetRadianceSource(VqsSimCs200RadianceSource source, void* context) {
    Bus& b = bus();
    const std::lock_guard lock(b.mutex);
    b.source = source;
    b.sourceContext = context;
}

VQS_EXPORT void vqsSimCs200SetInstruments(int count) {
    Bus& b = bus();
    const std::lock_guard lock(b.mutex);
    b.instruments = std::clamp(count, 0, kMostInstruments);
}

VQS_EXPORT void vqsSimCs200SetFault(int fault) {
    Bus& b = bus();
    const std::lock_guard lock(b.mutex);
    b.fault = fault;
}

VQS_EXPORT void vqsSimCs200SetTimeScale(double scale) {
    Bus& b = bus();
    const std::lock_guard lock(b.mutex);
    b.timeScale = std::isfinite(scale) && scale > 0.0 ? scale : 1.0;
}

VQS_EXPORT void vqsSimCs200Reset() {
    Bus& b = bus();
    const std::lock_guard lock(b.mutex);
    b.reset();
}

VQS_EXPORT int vqsSimCs200CommandLog(char* buffer, int capacity) {
    Bus& b = bus();
    const std::lock_guard lock(b.mutex);
    if (buffer != nullptr && capacity > 0) {
        const std::size_t length =
            std::min(b.commandLog.size(), static_cast<std::size_t>(capacity - 1));
        std::memcpy(buffer, b.commandLog.data(), length);
        buffer[length] = '\0';
    }
    return static_cast<int>(b.commandLog.size());
}

}  // extern "C"

// The exports keep the signatures the program calls them with.
static_assert(std::is_same_v<decltype(&get_num), vqs::Cs200DeviceCount>);
static_assert(std::is_same_v<decltype(&int_usb), vqs::Cs200Open>);
static_assert(std::is_same_v<decltype(&end_usb), vqs::Cs200Close>);
static_assert(std::is_same_v<decltype(&write64_usb), vqs::Cs200Write>);
static_assert(std::is_same_v<decltype(&read64_usb), vqs::Cs200Read>);
static_assert(std::is_same_v<decltype(&vqsSimCs200SetRadianceSource), VqsSimCs200SetRadianceSourceFn>);
static_assert(std::is_same_v<decltype(&vqsSimCs200CommandLog), VqsSimCs200CommandLogFn>);
