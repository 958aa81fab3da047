#pragma once
// The CS-200 colorimeters, reached through the maker's USB library "kmsecs200": enumerated at
// start-up (one probe row per instrument that identifies itself), and while a row is selected
// kept measuring, one command and one reply per step. The instrument needs a second after a
// connection is opened before it takes commands; the driver waits for it across polls, never
// inside one, so the window stays responsive even when a connection keeps failing. A reply is
// read up to its end across as many reads as the library hands it over in, within its time-out.

#include "probes/cs200_library.h"
#include "probes/probe_driver.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace vqs {

class VendorLibrary;

inline constexpr int kCs200NotOpen = 0;
// A count beyond any USB bus is a library's error, not that many instruments.
inline constexpr int kCs200MostInstruments = 64;
inline constexpr int kCs200Measuring = 1;
inline constexpr int kCs200SettleMs = 1000;
inline constexpr int kCs200NoSpeedSent = -1;
inline constexpr int kCs200ReplyMs = 200;
// More pieces than any reply comes in: a library that keeps handing over bytes without an end.
inline constexpr int kCs200MostPieces = 64;

class Cs200Driver final : public ProbeDriver {
  public:
    struct Timing {
        std::function<int64_t()> steadyMs;     // a monotonic clock; default: the process's
        std::function<void(int ms)> sleepMs;   // the start-up wait; default: a real sleep
        int settleMs = kCs200SettleMs;          // after opening a connection
        int replyMs = kCs200ReplyMs;            // for the whole of one reply
    };

    explicit Cs200Driver(ProbeList& probes);
    Cs200Driver(ProbeList& probes, Timing timing);
    ~Cs200Driver() override;

    // Loads the library and enumerates the instruments; false without the library.
    bool open() override;
    // One step of the selected row: opening its connection, or asking for the measurement.
    int poll(int row, float& X, float& Y, float& Z, Tsprad& spectrum) override;
    void release(int) override {}
    // The instrument stays in remote mode and its connection open until the process ends.
    void close() override {}
    void setStartMarkFolder(const QString& folder) override;
    std::vector<VendorLibraryTrouble> libraryTroubles() const override;

    // The parts of open(), also usable on a function table of a test's own.
    void enumerate(const Cs200Functions& functions);

    // The range last sent to the instrument of a row; kCs200NoSpeedSent before the first.
    int lastSpeed(int row) const;

  private:
    // A connection being opened: the library's answer, and when the instrument is ready.
    struct Opening {
        bool started = false;
        int rc = 0;
        int64_t readyAtMs = 0;
    };

    int openConnection(int row, Tsmlist& probe);
    int readMeasurement(int row, Tsmlist& probe, float& X, float& Y, float& Z);
    QByteArray command(int device, const QByteArray& text);
    QByteArray readReply(int device);
    void addInstrument(int device, const QByteArray& serial);

    ProbeList& probes_;
    Timing timing_;
    std::unique_ptr<VendorLibrary> library_;
    Cs200Functions f_;
    std::array<int8_t, kProbeRows> lastSpeed_{};
    std::array<Opening, kProbeRows> opening_{};
    std::array<bool, kCs200MostInstruments> endsLines_{};  // per device index
};

}  // namespace vqs
