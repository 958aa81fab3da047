#pragma once
// The working report kept on disk while it is unsaved, so that a crash, a kill or a power cut
// does not cost a long run. After every capture the report goes to a recovery file in the
// user's data folder, replaced atomically as report files are; saving or discarding the report
// removes it. The file is a report text (the lines a report file holds) followed by the texts
// again, losslessly, and by the identity of the process that wrote it: the next start offers
// what a program left behind that no longer runs, and never the file of one still running.

#include "data/monitor_records.h"
#include "platform/atomic_file.h"
#include "tables/patch_catalogue.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vqs {

// $XDG_DATA_HOME/lumiquest, or ~/.local/share/lumiquest when XDG_DATA_HOME is not set (or not
// an absolute path, which the base directory rules tell to ignore).
QString defaultDataFolder();

// The process that writes a recovery file: its boot, process id and start time. A process id
// alone is reused after a reboot, and in time by another program.
struct RecoveryOwner {
    QByteArray bootId;
    qint64 pid = 0;
    qint64 startTime = 0;  // in clock ticks since boot, as the kernel counts it
    bool operator==(const RecoveryOwner&) const = default;
};

RecoveryOwner thisProcess();
bool stillRuns(const RecoveryOwner& owner);

struct RecoveredReport {
    Tcaldaten report;
    int capturedPatches = 0;
    RecoveryOwner owner;
};

// Patches that hold a measurement: slots 1..39 and 41..61 with a triple that is not all zero.
int capturedPatchCount(const Tcaldaten& report);

QByteArray recoveryText(const Tcaldaten& report, const PatchCatalogue& targets,
                        const RecoveryOwner& owner);
// None when the text is no recovery file (a damaged or foreign file is not offered).
std::optional<RecoveredReport> parseRecoveryText(const QByteArray& text,
                                                 const PatchCatalogue& targets);

class RecoveryFile {
public:
    explicit RecoveryFile(QString folder = defaultDataFolder());

    QString path() const;
    FileWriteResult write(const Tcaldaten& report, const PatchCatalogue& targets) const;
    // The report a program left behind that no longer runs; none when there is none.
    std::optional<RecoveredReport> leftBehind(const PatchCatalogue& targets) const;
    // True when no recovery file is left afterwards.
    bool remove() const;

private:
    QString folder_;
};

}  // namespace vqs
