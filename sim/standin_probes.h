#pragma once
// The lab's side of the stand-in CS-200 and JETI libraries (libkmsecs200.so, libjeti_core.so and
// libjeti_radio_ex.so, built beside the lab). They run inside the program's process, so the lab
// loads the same files through the program's own loader, plugs instruments in and lets them
// see the display. Until then the libraries count no instrument: a program that finds them
// without the lab lists none.

#include "sim/cs200_standin_control.h"
#include "sim/jeti_standin_control.h"

#include <QByteArray>

#include <memory>

namespace vqs {
class VendorLibrary;
}

namespace vqs::sim {

class DisplayModel;

class Cs200StandIn {
  public:
    Cs200StandIn();
    ~Cs200StandIn();  // the instruments stop looking at the display
    Cs200StandIn(const Cs200StandIn&) = delete;
    Cs200StandIn& operator=(const Cs200StandIn&) = delete;

    // Points the probe library search at the lab's folder unless $VQS_PROBE_LIBRARY_DIR names
    // one, loads the library, resets it and plugs in `instruments` that look at the display.
    // False when the library or its control entries are missing.
    bool start(const DisplayModel& display, int instruments);
    void setInstruments(int count);
    void setFault(int fault);  // VqsSimCs200Fault
    void setTimeScale(double scale);
    // The command texts the instruments received since the start, as sent.
    QByteArray commandLog() const;

  private:
    struct Controls;
    std::unique_ptr<VendorLibrary> library_;
    std::unique_ptr<Controls> controls_;
};

class JetiStandIn {
  public:
    JetiStandIn();
    ~JetiStandIn();
    JetiStandIn(const JetiStandIn&) = delete;
    JetiStandIn& operator=(const JetiStandIn&) = delete;

    // As Cs200StandIn::start, for the two SDK libraries.
    bool start(const DisplayModel& display, int instruments);
    void setInstruments(int count);
    void setFault(int fault);  // VqsSimJetiFault
    void setTimeScale(double scale);
    int measurementsStarted() const;

  private:
    struct Controls;
    std::unique_ptr<VendorLibrary> core_;
    std::unique_ptr<VendorLibrary> radio_;
    std::unique_ptr<Controls> controls_;
};

}  // namespace vqs::sim
