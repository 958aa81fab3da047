#pragma once
// What every probe driver does for the measurement cycle: open (find its probes and add them
// to the probe list), poll (one step, never waiting for the instrument), release (the probe
// stops being polled in a channel) and close (at shutdown).

#include "colour/probe_reading.h"
#include "platform/vendor_library.h"
#include "probes/probe_list.h"

#include <array>
#include <vector>

namespace vqs {

class ProbeDriver {
public:
    virtual ~ProbeDriver() = default;
    virtual bool open() = 0;
    // Nonzero exactly when a new result was written to X, Y, Z (and the spectrum, where the
    // probe delivers one); otherwise the outputs are left as they were.
    virtual int poll(int row, float& X, float& Y, float& Z, Tsprad& spectrum) = 0;
    virtual void release(int row) = 0;
    virtual void close() = 0;
    // For a driver over a maker's library: where open() keeps the library's start-up mark
    // (see VendorLibrary), and what its last open() found wrong with the library.
    virtual void setStartMarkFolder(const QString&) {}
    virtual std::vector<VendorLibraryTrouble> libraryTroubles() const { return {}; }
};

// A probe type whose driver is not there: finds nothing, delivers nothing.
class AbsentDriver final : public ProbeDriver {
public:
    bool open() override { return false; }
    int poll(int, float&, float&, float&, Tsprad&) override { return 0; }
    void release(int) override {}
    void close() override {}
};

// The driver of each probe type code; the caller dispatches on the probe row's type.
class ProbeDriverTable {
public:
    ProbeDriverTable() { drivers_.fill(&absent_); }

    void set(int type, ProbeDriver* driver) {
        if (type > kProbeFree && type < kProbeTypeCount) drivers_[type] = driver ? driver : &absent_;
    }
    // Free and unknown types get the absent driver, so they poll nothing.
    ProbeDriver& forType(int type) {
        return type > kProbeFree && type < kProbeTypeCount ? *drivers_[type] : absent_;
    }

private:
    AbsentDriver absent_;
    std::array<ProbeDriver*, kProbeTypeCount> drivers_{};
};

}  // namespace vqs
