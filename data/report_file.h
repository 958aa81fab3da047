#pragma once
// Report text files: "VQSREPORT_<serial>_<name>_<date>.txt" in the report directory, 65 lines
// of "KEY = value", and the key grammar that monitor replies share with them.

#include "data/monitor_records.h"
#include "platform/atomic_file.h"
#include "tables/patch_catalogue.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vqs {

inline constexpr qsizetype kReportTextCapacity = 32768;

// File names hold the texts narrowed as in the file (characters beyond Latin-1 as "u4E00"),
// less the double quote; a folder separator ("/" or "\", as a short date may hold) becomes "-"
// so the file can exist.
QString reportFileName(const Tcaldaten& report);
QString reportFilePath(const QString& directory, const Tcaldaten& report);

// The 65 lines of a report file, CR LF ended; the numbers exactly as printf's "%.3f" writes them
// in the "C" locale.
QByteArray reportText(const Tcaldaten& report, const PatchCatalogue& targets);

// Writes the report atomically: into a new file beside it, every write and the flush to the
// disk checked, then renamed over the old one. A failed save never destroys the report that
// was there and says why it failed.
FileWriteResult writeReportFile(const QString& directory, const Tcaldaten& report,
                                const PatchCatalogue& targets);

// True when the file starts with "VQS_FILEID = VQS1.0FILE" (read as "%s = %s"). Only regular
// files (or links to them) are read: a pipe or device of that name is no report.
bool isReportFile(const QString& path);
bool startsAsReportFile(const QByteArray& head);

// Fills the target from the file's keys; missing keys leave its fields as they were.
void readReportFile(const QString& path, Tcaldaten& target, const PatchCatalogue& targets);

// Reads every key of a report text (a file or a monitor's reply) into the target. True when
// the four texts and slots 1..38 were all found.
bool parseReport(const QByteArray& text, qsizetype length, Tcaldaten& target,
                 const PatchCatalogue& targets);

// Where the value of a key starts: after "KEY =" (or "KEY=") and the spaces that follow. A key
// at or beyond `length`, or without a line end after it, counts as missing.
std::optional<qsizetype> findReportKey(const QByteArray& text, qsizetype length,
                                       const QByteArray& key);

// A text value: from its start up to the first control byte or byte of 0x80 and above.
QString reportTextValue(const QByteArray& text, qsizetype start);

// Adds a record for every report file of the directory while the monitor list has room,
// then sorts the list.
void scanReportDir(const QString& directory, MonitorList& monitors, const PatchCatalogue& targets);

}  // namespace vqs
