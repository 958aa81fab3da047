#pragma once
// What a virtual monitor under test understands of the program's messages, shared by the
// network and the serial monitor: a pattern message makes its display show the colour (black
// when switched off), the report query is answered with the report it stores, and a save (date,
// gamma, results, "SAVE?") replaces that report. Written from the monitor's side, apart from the
// program's own formatting and parsing, so the two check each other.

#include "sim/display_model.h"

#include <QByteArray>
#include <QColor>

#include <array>
#include <optional>

namespace vqs::sim {

inline constexpr int kReportSlots = 62;

// The report a monitor keeps: its identity, the date, the target gamma and one X, Y, Z per slot.
struct StoredReport {
    QByteArray devsnid;
    QByteArray devname;
    QByteArray repdate;
    QByteArray repgamma;
    std::array<std::array<double, 3>, kReportSlots> xyz{};
};

// What one line from the program asked of the monitor.
struct HeardLine {
    bool queried = false;         // "VQS_?": the monitor answers with its report
    std::optional<QColor> shown;  // a pattern message: the colour the display shows now
    QByteArray patternName;
    bool stored = false;  // "SAVE?" ended a save: the report was replaced
};

class MonitorProtocol {
public:
    // The report starts with the monitor's identity, gamma 2.4, and what its display emits for
    // each patch, as if it had been measured at the factory.
    MonitorProtocol(const QByteArray& serial, const QByteArray& name, const DisplayModel& display);

    // One line from the program, without its line end.
    HeardLine hear(const QByteArray& line);

    StoredReport& report() { return stored_; }
    const StoredReport& report() const { return stored_; }
    int savesStored() const { return saves_; }
    int queries() const { return queries_; }

private:
    void hearSaveLine(const QByteArray& key, const QByteArray& value);

    StoredReport stored_;
    std::optional<StoredReport> incoming_;  // a save under way
    int saves_ = 0;
    int queries_ = 0;
};

// The report as "KEY = value" lines with CR LF, the numbers with three decimals.
QByteArray reportText(const StoredReport& report);

}  // namespace vqs::sim
