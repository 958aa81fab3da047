#pragma once
// The QSP720 array spectrometers, read through the maker's library "qsp72XP": detected and
// opened at start-up (one probe row per device), polled every tick without waiting for the
// detector, released when a channel stops polling them and closed at shutdown. Scans are
// accumulated into results per brightness range; the dark and brightness scans run inside the
// polls while `calScanStep` counts down. The scan buffers are shared by all devices, as the
// library has them: two QSP720s in the two channels interleave their scans.

#include "probes/probe_driver.h"
#include "probes/qsp720_library.h"
#include "probes/qsp720_scans.h"

#include <array>
#include <functional>
#include <memory>
#include <span>

namespace vqs {

class VendorLibrary;

inline constexpr int kQsp720LibraryClosed = -1;
inline constexpr int kQsp720DevicesOpen = 0;
inline constexpr int kQsp720ScanRequested = 1;
inline constexpr int kQsp720OpeningRate = 400;  // ms, until the first range is chosen

class Qsp720Driver final : public ProbeDriver {
  public:
    struct Hooks {
        // Fills calFilePath, then the dark spectra and range factors stored for the probe.
        std::function<void(Tsmlist& probe)> loadStoredData;
        // Keep a finished scan's results.
        std::function<void(const Tsmlist& probe)> saveDarkData;
        std::function<void(const Tsmlist& probe)> saveRangeFactors;
        // Tells the operator a calibration scan is over.
        std::function<void()> scanComplete;
        // Writes a result to the log when one was asked for: the calibrated value per pixel.
        std::function<void(int row, float X, float Y, float Z, std::span<const float> pixels)>
            logMeasurement;
    };

    Qsp720Driver(ProbeList& probes, bool& logNextMeasurement, Hooks hooks);
    ~Qsp720Driver() override;

    // Loads the library, detects the devices and, when there are any, opens them.
    bool open() override;
    int poll(int row, float& X, float& Y, float& Z, Tsprad& spectrum) override;
    void release(int row) override;
    void close() override;

    // The parts of open(), also usable on a function table of a test's own.
    bool detectQsp720();
    bool detect(const Qsp720Functions& functions);
    void openQsp720Devices();

    int libraryState() const { return libraryState_; }
    // The calibration scan running in the polls: 0 idle, 9 starts a dark scan, 19 a brightness
    // scan; counted down by every completed result of whichever QSP720 is polled.
    int calScanStep() const { return calScanStep_; }
    void setCalScanStep(int step) { calScanStep_ = step; }

  private:
    int readMemory(int device, std::span<uint8_t, kQsp720MemoryBytes> memory);
    void openDevice(int device, int row);
    void readWavelengths(int device, Tsmlist& probe);
    int accumulate(Tsmlist& probe);
    void requestScan(const Tsmlist& probe);
    void setRate(int32_t milliseconds);
    void finishCalScan(CalScanEnd end, const Tsmlist& probe);
    void unloadLibrary();

    ProbeList& probes_;
    bool& logNextMeasurement_;
    Hooks hooks_;
    std::unique_ptr<VendorLibrary> library_;
    Qsp720Functions f_;
    int libraryState_ = kQsp720LibraryClosed;
    int calScanStep_ = 0;
    std::array<float, kQsp720ScanValues> scanBuffer_{};
    std::array<float, kQsp720ScanValues> accumulation_{};
};

}  // namespace vqs
