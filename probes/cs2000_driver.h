#pragma once
// The Konica Minolta CS-2000 on a serial port: searched on COM1..COM20, identified, and while
// selected kept measuring. A measurement fetches the spectral radiance 380-780 nm in four
// blocks and integrates X, Y, Z with the CIE 1931 observer. All timing comes from the
// application's two timers; nothing here waits for the instrument. Replies are taken line by
// line and each goes to the command that asked for it (see the reply ledger). Once a port has
// answered, the search is over: only that port is opened again, to find the instrument when its
// adapter is plugged back in, and only the instrument identified first measures into its row.

#include "platform/serial_link.h"
#include "probes/cs2000_replies.h"
#include "probes/cs2000_reply_ledger.h"
#include "probes/probe_driver.h"

#include <array>
#include <functional>
#include <optional>

namespace vqs {

inline constexpr int kCs2000Samples = 401;  // 380..780 nm
inline constexpr int kCs2000LastSearchPort = 20;
inline constexpr int kCs2000BaudRate = 9600;
// An answer that has not come after this many silent ticks (plus the measuring time the
// instrument announced) is given up: the measurement starts again.
inline constexpr int kCs2000AnswerTimeoutTicks = 100;

using Cs2000Spectrum = std::array<float, kCs2000Samples>;

enum Cs2000State : int32_t {
    kCs2000Closed = 0,
    kCs2000WaitFirstAnswer = 1,
    kCs2000WaitIdentification = 2,
    kCs2000Ready = 3,
    kCs2000Measuring = 4,
    kCs2000WaitBlock1 = 5,  // .. 8 for block 4
    kCs2000WaitBlock4 = 8,
    kCs2000SpectrumComplete = 9,
    kCs2000Local = 10,
    kCs2000WaitRemote = 11,
};

class Cs2000Driver final : public ProbeDriver {
public:
    struct Hooks {
        // Opens COM n for the instrument; null when it cannot be used.
        std::function<std::unique_ptr<SerialPort>(int port)> openPort;
        // The instrument was added to the probe list: refill the probe selectors.
        std::function<void()> probeAdded;
        // Writes a measurement to the log when one was asked for.
        std::function<void(int row, float X, float Y, float Z, const Cs2000Spectrum&)>
            logMeasurement;
    };

    Cs2000Driver(ProbeList& probes, bool& logNextMeasurement, Hooks hooks);

    // The CS-2000 is found by its port search, not when the drivers open.
    bool open() override { return false; }
    int poll(int row, float& X, float& Y, float& Z, Tsprad& spectrum) override;
    void release(int row) override;
    // Leaves remote mode and closes the port (shutdown).
    void close() override;

    void startSearch(int skipPort);
    void housekeeping();      // once a second
    void interpretReplies();  // start of every measurement tick
    void readBytes();         // end of every measurement tick

    const SerialLink& link() const { return link_; }

private:
    void openPort(int port);
    void closePort();
    void send(const char* command, int32_t newState);
    void startMeasurement();
    bool received(const char* text) const;
    void discardReceived();
    std::optional<QByteArray> takeLine(int64_t& start);

    void interpret(Cs2000Reply reply, QByteArray line);
    void interpretIdentification(QByteArray line);
    void adopt(const Identification& id);
    void interpretMeasurementStart(QByteArray line);
    void interpretMeasurementEnd(QByteArray line);
    void interpretSpectralBlock(QByteArray line);
    void interpretRemoteAnswer(const QByteArray& line);
    bool waitedTooLong();
    void deliver(int row, float& X, float& Y, float& Z, Tsprad& spectrum);

    ProbeList& probes_;
    bool& logNextMeasurement_;
    Hooks hooks_;
    SerialLink link_;
    Cs2000ReplyLedger ledger_;
    int64_t received_ = 0;     // bytes read from the port so far
    int64_t bufferStart_ = 0;  // which of them rxBuffer[0] holds
    int skipPort_ = 0;
    int homePort_ = 0;         // the port that answered; 0 while the search goes on
    bool identified_ = false;  // an identification was accepted
    QByteArray serial_;        // of the identified instrument
    int row_ = -1;             // its probe row; -1 when the list had no room
    bool stranger_ = false;    // another instrument answers on the home port
    int silentTicks_ = 0;      // ticks without a new byte while an answer is awaited
    int64_t lastReceived_ = 0;
    int announcedSeconds_ = 0;   // measuring time announced by "OK00,ttt"
    Cs2000Spectrum spectrum_{};  // radiance in W/(sr·m²·nm), index i = 380 + i nm
};

// X, Y, Z of a CS-2000 spectrum (radiance × 10^6 at 380..780 nm) with the CIE 1931 observer.
void cs2000Tristimulus(const Tsprad& spectrum, float& X, float& Y, float& Z);

}  // namespace vqs
