#pragma once
// The probes of the running program: the four drivers and their table, the probe list they
// fill, what each of the two positions polls and whether it still delivers, the brightness
// ranges, the spectrometer's calibration scans and file, and the daily log of readings. The
// window shows the session's results and forwards the operator's commands; no widget here.

#include "data/settings.h"
#include "platform/after_tick.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/settings_store.h"
#include "platform/step_trace.h"
#include "probes/cs2000_driver.h"
#include "probes/cs200_driver.h"
#include "probes/jeti_driver.h"
#include "probes/probe_driver.h"
#include "probes/probe_freshness.h"
#include "probes/probe_list.h"
#include "probes/qsp720_driver.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <span>

namespace vqs {

struct Tprobevals;
struct Tsprad;

// What the session needs the window to show.
class ProbeSessionView {
public:
    virtual ~ProbeSessionView() = default;
    // A probe joined the list (the CS-2000's port search found one): the lists show it.
    virtual void probeListChanged() = 0;
};

// The ways out the session uses: the operator, the store of calibration data, the day's date.
struct ProbeServices {
    Prompter& prompts;
    SettingsStore& store;
    Clock& clock;
};

// Which controls of a position the probe there uses.
struct ProbeControls {
    bool calScan = false;
    bool range = false;
    int rangeIndex = 0;
};

// The probe's status line: its own status first, then in red what keeps a maker's library from
// giving probes. The colour is 0x00BBGGRR.
struct ProbeStatusLine {
    QString text;
    int32_t colour = 0;
};

class ProbeSession {
public:
    ProbeSession(ProbeList& probes, const Settings& settings, ProbeServices services,
                 ProbeSessionView& view, StepTrace& trace);
    ~ProbeSession();
    ProbeSession(const ProbeSession&) = delete;
    ProbeSession& operator=(const ProbeSession&) = delete;

    // ---- Start-up, upkeep and shutdown steps, in the order the program runs them.
    void resetQsp720LibraryState();
    void resetProbeList();
    void openProbeDrivers();
    // After start-up, once the window runs: libraries left out after a crash at the last start.
    void tellLibrariesLeftOut();
    void startCs2000Search();
    void housekeeping();  // the CS-2000's port search, once a second
    void releaseCs2000();
    void closeQsp720();
    void closeJeti();

    // ---- The measurement tick. The CS-2000 never makes a tick wait: the tick starts with the
    // replies that came in since, and ends by taking what its port holds.
    void interpretReplies();
    void readBytes();
    // Polls the probe at row firstRow (-1: none) into the first position's reading.
    bool pollFirst(int firstRow, Tprobevals& first);
    void releaseDeselectedFirst(int firstRow);
    // Polls the second position (secondIndex in the second list, 0 "none"); a position that
    // names the first one's probe shows the first one's values. The reading is converted.
    bool pollSecond(int secondIndex, const Tprobevals& first, Tprobevals& second);

    // ---- Both positions' freshness, and what it means for the operator.
    const ProbeFreshness& firstFreshness() const { return firstFreshness_; }
    const ProbeFreshness& secondFreshness() const { return secondFreshness_; }
    bool firstIsLive() const { return firstFreshness_.liveness() == ProbeLiveness::Live; }
    QString firstFreshnessText() const;  // empty while live
    QString firstHoldUp() const;         // why a run stands still, short
    // Why Capture must not take the first position's values now; nothing while they are current.
    std::optional<QString> captureRefusal() const;

    // ---- The probe list and the controls of its positions.
    QStringList probeNames() const;  // in list order, as both lists show them
    ProbeControls controlsFor(int row) const;
    void setUserRange(int row, int range);  // the driver applies it at its next reading
    void requestCalScan(int row);
    void chooseCalFile(int row);
    std::optional<ProbeStatusLine> statusLine(int row);

    // ---- The daily log and spectrum files.
    // Writes the spectrum at once and logs the next CS-2000 or QSP720 reading.
    void saveSpectrum(const Tsprad& spectrum);
    void logMeasurement(int row, float X, float Y, float Z, std::span<const float> spectrum);
    bool logNextMeasurement() const { return logNextMeasurement_; }
    int firstActiveRow() const { return firstActiveProbe_; }  // 0: none tracked

    ProbeDriverTable& drivers() { return drivers_; }
    Cs2000Driver& cs2000() { return *cs2000_; }
    Qsp720Driver& qsp720() { return *qsp720_; }
    Cs200Driver* cs200() { return cs200_.get(); }
    JetiDriver* jeti() { return jeti_.get(); }

private:
    bool poll(int row, Tprobevals& reading);
    void releaseDeselectedSecond(int secondRow);
    bool reachable(int row) const;
    Qsp720Driver::Hooks qsp720Hooks();

    ProbeList& probes_;
    const Settings& settings_;
    ProbeServices services_;
    ProbeSessionView& view_;
    StepTrace& trace_;
    AfterTick afterTick_;

    ProbeDriverTable drivers_;
    std::unique_ptr<Cs2000Driver> cs2000_;
    std::unique_ptr<Qsp720Driver> qsp720_;
    std::unique_ptr<Cs200Driver> cs200_;
    std::unique_ptr<JetiDriver> jeti_;

    ProbeFreshness firstFreshness_;
    ProbeFreshness secondFreshness_;
    int64_t cycleTicks_ = 0;  // measurement ticks so far: the clock of the probes' rhythm
    int firstActiveProbe_ = 0;  // probe rows last polled, to release when deselected
    int secondActiveProbe_ = 0;
    int firstRowThisTick_ = -1;  // what the first position polled in this tick
    bool gotFirstThisTick_ = false;
    bool logNextMeasurement_ = false;
};

}  // namespace vqs
