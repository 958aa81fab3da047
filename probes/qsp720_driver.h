#pragma once
// The QSP720 array spectrometers, read through the maker's library "qsp72XP": detected and
// opened at start-up (one probe row per device), polled every tick without waiting for the
// detector, released when a channel stops polling them and closed at shutdown. Scans are
// accumulated into results per brightness range; the dark and brightness scans run inside the
// polls while `calScanStep` counts down. The scan buffers are shared by all devices, as the
// library has them: two QSP720s in the two channels interleave their scans.
//
// A library that lacks any of the eight exports is not called at all. A finished calibration
// scan is judged before it is kept: a dark scan that saw light, or a brightness scan in which a
// range saw none, is held back and the probe goes on with its previous data until the operator
// takes the new ones (settleHeldScan). A device whose wavelengths miss 380..780 nm delivers no
// readings, and says why once.

#include "probes/probe_driver.h"
#include "probes/qsp720_library.h"
#include "probes/qsp720_scans.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

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
        // Asks the operator whether to take a doubtful scan; the answer goes to
        // settleHeldScan. Called inside the measurement tick.
        std::function<void(const QString& question)> scanDoubtful;
        // Tells the operator something about a probe, once; called inside the measurement tick.
        std::function<void(const QString& text)> tell;
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
    void setStartMarkFolder(const QString& folder) override;
    std::vector<VendorLibraryTrouble> libraryTroubles() const override;

    // The parts of open(), also usable on a function table of a test's own.
    bool detectQsp720();
    bool detect(const Qsp720Functions& functions);
    void openQsp720Devices();

    int libraryState() const { return libraryState_; }
    // The calibration scan running in the polls: 0 idle, 9 starts a dark scan, 19 a brightness
    // scan; counted down by every completed result of whichever QSP720 is polled.
    int calScanStep() const { return calScanStep_; }
    void setCalScanStep(int step) { calScanStep_ = step; }
    // The operator's answer to a doubtful scan: take its data (kept as a scan is kept), or
    // keep the previous data. Nothing when no scan is held.
    void settleHeldScan(bool take);
    bool holdsScan() const { return held_.has_value(); }

  private:
    int readMemory(int device, std::span<uint8_t, kQsp720MemoryBytes> memory);
    void openDevice(int device, int row);
    void readWavelengths(int device, Tsmlist& probe);
    int accumulate(Tsmlist& probe);
    void requestScan(const Tsmlist& probe);
    void setRate(int32_t milliseconds);
    void keepPreviousCalibration(const Tsmlist& probe);
    void judgeFinishedScan(CalScanEnd end, int row, Tsmlist& probe, const RangeLuminances& seen);
    void keepScan(CalScanEnd end, const Tsmlist& probe);
    void tellUnusableOnce(int row);
    void unloadLibrary();

    // A finished scan the operator has not taken yet.
    struct HeldScan {
        int row = -1;
        CalScanEnd kind = CalScanEnd::None;
        DarkSpectra dark{};
        std::array<float, 6> factors{};
    };

    ProbeList& probes_;
    bool& logNextMeasurement_;
    Hooks hooks_;
    std::unique_ptr<VendorLibrary> library_;
    Qsp720Functions f_;
    int libraryState_ = kQsp720LibraryClosed;
    int calScanStep_ = 0;
    std::array<float, kQsp720ScanValues> scanBuffer_{};
    std::array<float, kQsp720ScanValues> accumulation_{};
    DarkSpectra previousDark_{};  // of the probe, from before the running scan
    std::array<float, 6> previousFactors_{1, 1, 1, 1, 1, 1};
    std::optional<HeldScan> held_;
    std::array<bool, kProbeRows> unusable_{};  // wavelengths that miss the visible range
    std::array<bool, kProbeRows> toldUnusable_{};
};

}  // namespace vqs
