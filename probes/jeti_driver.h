#pragma once
// The JETI specbos 1211 spectroradiometers, reached through JETI's SDK libraries "jeti_core" and
// "jeti_radio_ex": enumerated at start-up (one probe row per instrument), and while a row is
// selected measuring in a slow loop counted in polls: start, wait 49 polls, then ask every poll
// whether the measurement has finished, and fetch X, Y, Z and the spectral radiance when it has.
// A poll never waits; one that delivers nothing returns 0 and leaves the reading alone, so the
// readout's freshness shows an instrument that stopped delivering.

#include "probes/jeti_library.h"
#include "probes/probe_driver.h"

#include <functional>
#include <memory>
#include <string>

namespace vqs {

class VendorLibrary;

inline constexpr int kJetiStartMeasurement = 0;
inline constexpr int kJetiAskForResult = 1;
inline constexpr int kJetiWaitPolls = 50;

class JetiDriver final : public ProbeDriver {
  public:
    // Where the enumeration's progress lines go; standard output unless a test listens.
    using Output = std::function<void(const std::string& text)>;

    explicit JetiDriver(ProbeList& probes, Output output = {});
    ~JetiDriver() override;

    // Loads both libraries and enumerates the instruments; false without them or without one.
    bool open() override;
    int poll(int row, float& X, float& Y, float& Z, Tsprad& spectrum) override;
    void release(int) override {}
    // Closes every listed JETI and frees its row.
    void close() override;
    void setStartMarkFolder(const QString& folder) override;
    std::vector<VendorLibraryTrouble> libraryTroubles() const override;

    // The enumeration, also usable on a function table of a test's own.
    bool enumerate(const JetiFunctions& functions);

  private:
    int askForResult(Tsmlist& probe, float& X, float& Y, float& Z, Tsprad& spectrum);
    void startMeasurement(Tsmlist& probe);

    ProbeList& probes_;
    Output output_;
    std::unique_ptr<VendorLibrary> core_;
    std::unique_ptr<VendorLibrary> radio_;
    JetiFunctions f_;
};

}  // namespace vqs
