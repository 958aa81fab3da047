#pragma once
// "Save(To Monitor)": the working report is sent to every serial and network monitor of the
// device grid's selection, in row order, and each of them then holds it in the monitor list.
//
// A save is a paced sequence on the user-interface thread: its messages go out from timer
// callbacks, 50 ms apart after each result, so the window stays responsive for the three
// seconds and more a save lasts and a connect never makes it wait. The report is taken when the
// save starts; the monitors are found again by their identity when they are updated, as the
// list may change meanwhile.

#include "data/monitor_records.h"
#include "monitor_link/monitor_link.h"
#include "tables/patch_catalogue.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QTimer;

namespace vqs {

inline constexpr int kSavePauseMs = 50;
// A save over saveConnection gives up on a connect not made in this time.
inline constexpr int kSaveConnectLimitMs = 5000;
// Over saveConnection only the results up to the EBU colours go; the DICOM steps do not.
inline constexpr int kLastSlotOverSaveConnection = kLastEbuSlot;

// Asked by the window when the selection holds no serial or network monitor; Yes lets the
// operator select devices in the grid, whose background then takes this colour (0x00BBGGRR).
inline const QString kNoLinkDevicesQuestion =
    QStringLiteral("No RS232 or Ethernet Devices in Selection. Do you want to select Devices now?");
inline constexpr int32_t kDeviceSelectionGridColour = 6316128;  // RGB 96, 96, 96

// A monitor the report goes to: where it was in the list and who it is.
struct SaveTarget {
    int index = -1;
    int32_t sourceType = kSourceEmpty;
    QString source;
    QString devsnid;
    QString devname;
};

// The serial and network monitors of the selection (each selected row once, top to bottom);
// report files are left out. Empty: the window asks kNoLinkDevicesQuestion.
std::vector<SaveTarget> saveTargets(const MonitorList& monitors, const GridSelection& selection,
                                    const RowLookup& recordOfRow);

struct SaveStep {
    QByteArray message;
    bool pauseAfter = false;  // kSavePauseMs before the next message
};

// The messages of one monitor's save in order: date, gamma, one result for each slot
// 1..lastResultSlot except 40 with a pause after each, then "SAVE?".
std::vector<SaveStep> saveSchedule(const Tcaldaten& report, const PatchCatalogue& targets,
                                   int lastResultSlot);

struct SaveOutcome {
    // Every monitor of the selection received the whole report; only then is the working
    // report no longer unsaved.
    bool complete = true;
    int monitorsSaved = 0;
    QString failure;  // what went wrong, for the operator; empty when complete
};

class DownstreamSave {
public:
    using Finished = std::function<void(const SaveOutcome&)>;

    DownstreamSave(MonitorLink& link, MonitorList& monitors);
    ~DownstreamSave();
    DownstreamSave(const DownstreamSave&) = delete;
    DownstreamSave& operator=(const DownstreamSave&) = delete;

    // Starts sending the report and returns at once; `finished` is called from the event loop
    // when the save is over. False (and nothing done) when a save is running or there is no
    // monitor to save to. A serial monitor is sent to over the link (while it is closed nothing
    // is sent and the save is incomplete); a network monitor over patternConnection when that is
    // connected to it, else over saveConnection, connected for this monitor and closed after it.
    // A connection that fails ends the save there: the monitors after it get nothing. While a
    // monitor's save goes over the serial link or patternConnection, that channel carries nothing
    // else (see SaveChannelHold), and a report query of that monitor asked before its save ended
    // is not merged over the report it was sent.
    bool start(std::vector<SaveTarget> targets, const Tcaldaten& report,
               const PatchCatalogue& catalogue, Finished finished);
    bool isRunning() const { return running_; }
    // Whether the working report still holds what the last save sent: results captured while
    // it ran were not sent and stay unsaved.
    bool sentAsIs(const Tcaldaten& working) const;
    // At shutdown: stops where it is, without calling `finished`.
    void cancel();

private:
    enum class Channel { Serial, Pattern, Save };

    void run();
    bool beginMonitor();
    void beginNetworkMonitor(const QString& source);
    bool awaitSaveConnection();
    bool sendUntilPause();
    std::optional<QString> send(const QByteArray& message);
    void endMonitor();
    void holdChannel();
    void releaseChannel();
    void noteFailure(const QString& reason);
    void fail(const QString& reason);
    void finish();
    void later(int milliseconds);

    MonitorLink& link_;
    MonitorList& monitors_;
    std::unique_ptr<QTimer> timer_;
    Finished finished_;
    bool running_ = false;

    std::vector<SaveTarget> targets_;
    Tcaldaten report_;
    PatchCatalogue catalogue_{};
    std::size_t next_ = 0;  // the monitor after the current one
    bool inMonitor_ = false;
    Channel channel_ = Channel::Serial;
    bool connecting_ = false;
    int connectWaitedMs_ = 0;
    int failuresBefore_ = 0;
    std::vector<SaveStep> steps_;
    std::size_t step_ = 0;
    SaveOutcome outcome_;
};

}  // namespace vqs
