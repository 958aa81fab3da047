#pragma once
// The monitors under test as the running program keeps them: the serial link and its COM
// number, the three TCP connections and their failures, discovery and its pace, the report
// poll, the pushes of readings and dates, the patch on the monitor under test, the report
// folder's files in the monitor list, and "Save(To Monitor)". The window shows the monitor list
// and forwards the operator's commands; no widget here.

#include "data/monitor_records.h"
#include "data/settings.h"
#include "monitor_link/downstream_save.h"
#include "monitor_link/monitor_link.h"
#include "monitor_link/pattern_display.h"
#include "platform/after_tick.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/step_trace.h"
#include "tables/patch_catalogue.h"

#include <QString>

#include <memory>
#include <optional>

namespace vqs {

// What the session needs the window to show.
class LinkSessionView {
public:
    virtual ~LinkSessionView() = default;
    // Records were added, changed or removed: the device grid shows the list anew.
    virtual void monitorListChanged() = 0;
    // "Save(To Monitor)" ended, whatever its outcome: the button takes commands again.
    virtual void saveEnded() = 0;
    // A confirmation for the status line, without a box.
    virtual void tellQuietly(const QString& text) = 0;
};

// The records the session works on, all kept by the program.
struct LinkRecords {
    MonitorLink& link;
    MonitorList& monitors;
    Settings& settings;
    Tcaldaten& workingReport;
    const PatchCatalogue& targets;
};

class LinkSession {
public:
    LinkSession(LinkRecords records, Prompter& prompts, Clock& clock, LinkSessionView& view,
                StepTrace& trace);
    ~LinkSession();
    LinkSession(const LinkSession&) = delete;
    LinkSession& operator=(const LinkSession&) = delete;

    // ---- Start-up and shutdown steps.
    void scanReportDir();
    void markLinkClosed();
    // Opens the serial link on the COM number typed; returns the setting it took.
    QString takeOverComNumber(const QString& typed);
    void closeLink();
    void disconnectMonitors();

    // ---- The measurement tick: the first reading is pushed as it comes; then the serial
    // bytes, discovery and the report poll.
    void pushReading(float X, float Y, float Z);
    void readLink();
    void serialReplyCheck();
    void receiveDiscoveryReply();
    // The discovery request and the date message go out on the first tick and then every 31.
    void paceDiscovery();
    void networkPollStep();
    // Failures that happened between ticks (a connect refused or timed out) are told here.
    void tellConnectionFailures();
    int discoveryCountdown() const { return discoveryCountdown_; }

    // ---- Once a second, and after each capture step.
    void sendPatternToMonitor(const PatternScene& scene, std::optional<int> selectedDevice);
    // A report folder to read again, as asked by applyReportDir or a save to file.
    void reloadReportDirSoon() { reportDirReloadPending_ = true; }
    bool reportDirReloadPending() const { return reportDirReloadPending_; }
    // The folder's records go, and it is read again a second later (after a save to file).
    void rereadReportDir();
    // Reads the folder if asked since; true when it did.
    bool reloadReportDirIfDue();

    // ---- The connection fields: each takes its value and drops the records it listed.
    void applyReportDir(const QString& folder);
    QString applyComSetting(const QString& typed);
    void applyNetworkAddress(const QString& address);

    // ---- "Save(To Monitor)" of the working report to the selected monitors.
    enum class SaveStart { Started, Running, NoLinkDevices };
    SaveStart startSave(const GridSelection& selection);
    bool saving() const { return save_->isRunning(); }

private:
    void saveFinished(const SaveOutcome& outcome);
    void noteMerge(MergeResult result);

    LinkRecords records_;
    Prompter& prompts_;
    Clock& clock_;
    LinkSessionView& view_;
    StepTrace& trace_;
    AfterTick afterTick_;
    std::unique_ptr<DownstreamSave> save_;
    ListFullNotice listFull_;
    int discoveryCountdown_ = 0;
    int remotePatternOffCount_ = 0;  // pattern-off messages still owed to a monitor
    bool reportDirReloadPending_ = false;
};

}  // namespace vqs
