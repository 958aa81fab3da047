#pragma once
// The working report and the list of every known monitor.

#include "tables/patch_catalogue.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace vqs {

class Prompter;

// Tristimulus values of one patch as the first probe delivered them; zeros = not measured.
struct XyzTriple {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
};

// A report: the monitor's identity, the date, the target gamma and one result per patch slot.
struct Tcaldaten {
    QString devsnid;   // serial number or ID of the monitor
    QString devname;   // name of the monitor
    QString repdate;   // user's short date format
    QString repgamma;  // "1.8", "2.2", "2.35", "2.4", "DICOM" or what a file supplied
    int32_t unsaved = 0;
    std::array<XyzTriple, kPatchSlots> xyz{};
};

// Where a monitor record came from; 0 marks an empty slot of the list.
inline constexpr int32_t kSourceEmpty = 0;
inline constexpr int32_t kSourceFile = 1;     // a report file in the report directory
inline constexpr int32_t kSourceNetwork = 2;  // a monitor found on the network
inline constexpr int32_t kSourceSerial = 3;   // the monitor on the serial link

inline const QString kSerialMonitorSource = QStringLiteral("RS232");

// One monitor of the list with its last known report.
struct Tdevices {
    int32_t sourceType = kSourceEmpty;
    QString source;         // file path, dotted IP address or "RS232"
    Tcaldaten report;       // its unsaved flag means nothing here
    int32_t position = 0;   // display position; shown in grid row position + 1
    int32_t pollState = 0;  // reply poll of a network monitor: 0 new, 1..30 waiting, 31, 100
};

// Used records fill slots 0..n-1 without gaps; loops over them stop at the first empty slot.
inline constexpr int kMonitorCapacity = 1000;
using MonitorList = std::array<Tdevices, kMonitorCapacity>;

// Empties the texts, zeroes every result and clears the unsaved flag.
void resetReport(Tcaldaten& report);

// Zeroes the DICOM results (slots 41..61) only, before a DICOM capture run.
void clearDicomResults(Tcaldaten& report);

// Asks before unsaved results are thrown away. True means: abandon the operation.
bool confirmDiscard(Tcaldaten& report, Prompter& prompts);

// Number of used records, counted up to the first empty slot.
int usedMonitorCount(const MonitorList& list);

// Gives every used record its display position: by devsnid, devname (the user's locale
// collation, case-sensitive), then source type; equal records keep their slot order.
void sortMonitors(MonitorList& list);

// Drops every record of the type and closes the gaps, keeping the order of the rest.
void removeMonitors(MonitorList& list, int32_t sourceType);

// Copies the date, target gamma and results of a report into a record; its identity stays.
void storeReportInMonitor(MonitorList& list, int index, const Tcaldaten& report);

// A monitor names itself twice: in its discovery answer, whose fields keep 63 characters with
// every byte a character, and in its report, whose values end at the first byte below 0x20 or
// of 0x80 and above. Identities are compared as far as both carry them, so that a long name or
// one beyond ASCII is one monitor, not a new one at every answer: the first 63 characters, up to
// the first character a report value ends at.
inline constexpr qsizetype kIdentityMaxChars = 63;
QString comparableIdentity(const QString& text);
bool sameMonitorIdentity(const QString& devsnidA, const QString& devnameA, const QString& devsnidB,
                         const QString& devnameB);

// What a merge did. ListFull: the monitor is not listed, as all 1000 records are in use.
enum class MergeResult { None, Updated, Added, ListFull };

// Adds or updates the record of the serial monitor from a parsed reply.
MergeResult mergeSerialMonitor(MonitorList& list, const Tcaldaten& parsed);

// Adds or updates a monitor record; None for a source type that is no record's.
MergeResult mergeNetworkMonitor(MonitorList& list, int32_t sourceType, const QString& source,
                                const QString& devsnid, const QString& devname,
                                const Tcaldaten* report = nullptr);

// The operator is told once that the list is full, not at every answer it cannot take: again
// only after the list had room in between.
class ListFullNotice {
public:
    // True when the operator is to be told now.
    bool note(MergeResult result, const MonitorList& list);

private:
    bool told_ = false;
};

// The record shown in a grid row (row 0 is the header), or none.
std::optional<int> recordAtRow(const MonitorList& list, int row);

// Walks the rows of the device grid's selection, one call per row, top to bottom.
struct DeviceCursor {
    std::optional<int> row;  // empty before the first call
};
struct GridSelection {
    int topRow = 0;
    int bottomRow = 0;
};
using RowLookup = std::function<std::optional<int>(int row)>;

// The record of the next selected row, or none when the walk has ended.
std::optional<int> nextSelectedDevice(DeviceCursor& cursor, const GridSelection& selection,
                                      const RowLookup& recordOfRow);

}  // namespace vqs
