#pragma once
// Capturing patches into the working report: single captures, the automatic runs and their
// pace, the run's progress and the confirmations in the status line, and the recovery file
// that keeps an unsaved run through a crash. The window shows the patch list and the readouts
// and forwards the operator's commands; no widget here.

#include "capture/run_progress.h"
#include "colour/probe_reading.h"
#include "data/recovery_file.h"
#include "data/report_file.h"
#include "data/settings.h"
#include "platform/after_tick.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "tables/patch_catalogue.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace vqs {

class ProbeSession;

// What the session needs the window to show or tell it.
class CaptureView {
public:
    virtual ~CaptureView() = default;
    virtual int selectedSlot() const = 0;
    virtual void selectSlot(int slot) = 0;  // programmatic: no reaction to a user's choice
    // The patch list entry of a slot shows its captured values (-1: every entry).
    virtual void showPatchValues(int slot) = 0;
    virtual void showFirstReading() = 0;
    virtual void refreshCharts() = 0;
    // The selected patch on the local test-pattern window; true while that window is shown.
    virtual bool showPatternLocally() = 0;
    virtual bool patternWindowShown() const = 0;
    virtual void sendPatternToMonitor() = 0;
    virtual void showStatus(const QString& text) = 0;
    // The monitor's name and SN/ID as typed in their fields.
    virtual QString typedDevname() const = 0;
    virtual QString typedDevsnid() const = 0;
};

// The records the session works on, all kept by the program.
struct CaptureRecords {
    Tcaldaten& workingReport;
    const PatchCatalogue& targets;
    const Settings& settings;
    Tprobevals& firstReading;
    bool& measurementStopped;  // the first readout frozen or showing stored values
};

class CaptureSession {
public:
    CaptureSession(CaptureRecords records, const ProbeSession& probes, Prompter& prompts,
                   Clock& clock, CaptureView& view);

    // ---- Commands of the capture panel.
    // "Capture"; false when it refused or had no patch to capture into.
    bool captureOne();
    void captureAll(const QString& runName);
    void captureDicom(const QString& runName);
    // A second press of either run button cancels the run where it stands.
    bool cancelRun();
    // The measurement cycle takes the run on from here (see the capture step).
    void startRun(int firstSlot, int endSlot);
    int countdown() const { return countdown_; }  // 0 while no run goes
    int runEndSlot() const { return endSlot_; }     // the slot a run stops at

    // ---- The measurement tick, while the measurement is not stopped: the countdown moves on
    // ticks with a fresh first reading, at least five ticks apart; reaching 1 captures.
    void advance(bool gotFirst, bool gotSecond);

    // ---- The status line: a run's progress (or why it stands still), a confirmation that is
    // still news, the first probe's freshness, or how the last run ended.
    // Nothing while the measurement is stopped: the line then names the stored values shown.
    std::optional<QString> statusLine();
    // A confirmation that stands until the operator moves on, or for a few seconds.
    void tellQuietly(const QString& text);
    // The operator moved on: neither the last confirmation nor the last run's outcome is news.
    void moveOn();
    void dropNotice() { notice_.clear(); }

    // ---- Recovery of an interrupted run.
    void setRecoveryFolder(const QString& folder) { recovery_ = RecoveryFile(folder); }
    const RecoveryFile& recoveryFile() const { return recovery_; }
    // Offers the report a program left behind that no longer runs, once; the report restored.
    struct Restored {
        Tcaldaten report;
        int capturedPatches = 0;
    };
    std::optional<Restored> offerRecovery();
    // The working report as "Save(To File)" would write it now goes to the recovery file while
    // it is unsaved; a saved or discarded report takes the file away.
    void keepRecoveryCurrent();
    // A save or a discard may come from anywhere ("Save(To Monitor)" ends on its own timer).
    void dropRecoveryOnceSaved();

    // The steady clock of the run's elapsed and remaining time, in ms; tests drive their own.
    void setSteadyClock(std::function<int64_t()> clock) { steadyClockOverride_ = std::move(clock); }
    int64_t steadyMs() const;

private:
    void captureStep();
    void startProgress(const QString& runName, int firstSlot, int lastSlot);

    CaptureRecords records_;
    const ProbeSession& probes_;
    Prompter& prompts_;
    Clock& clock_;
    CaptureView& view_;
    AfterTick afterTick_;

    int countdown_ = 0;  // an automatic run is active while not 0
    int endSlot_ = 0;
    int ticks_ = 0;
    RunProgress progress_;
    QString notice_;  // the last quiet confirmation, while it is news
    int64_t noticeUntilMs_ = 0;
    QElapsedTimer steadyClock_;
    std::function<int64_t()> steadyClockOverride_;

    RecoveryFile recovery_;
    bool recoveryOffered_ = false;
    bool recoveryHeld_ = false;  // a recovery file of the working report may exist
    bool recoveryWriteFailed_ = false;
};

// How the operator knows a monitor in a message: its name and SN/ID, as far as it has them.
QString monitorIdentity(const Tcaldaten& report);

}  // namespace vqs
