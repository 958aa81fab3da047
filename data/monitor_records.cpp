#include "data/monitor_records.h"

#include "platform/prompter.h"

#include <QCollator>

#include <algorithm>
#include <numeric>
#include <vector>

namespace vqs {

void resetReport(Tcaldaten& report) { report = Tcaldaten{}; }

void clearDicomResults(Tcaldaten& report) {
    for (int slot = kFirstDicomSlot; slot <= kLastSlot; ++slot) report.xyz[slot] = XyzTriple{};
}

bool confirmDiscard(Tcaldaten& report, Prompter& prompts) {
    if (report.unsaved == 0) return false;
    const PromptAnswer answer = prompts.message(
        PromptKind::Confirmation, QStringLiteral("Captured Data not saved! Continoue anyway?"),
        PromptButtons::OkCancel);
    if (answer != PromptAnswer::Ok) return true;
    report.unsaved = 0;
    return false;
}

int usedMonitorCount(const MonitorList& list) {
    const auto firstEmpty = std::find_if(
        list.begin(), list.end(), [](const Tdevices& d) { return d.sourceType == kSourceEmpty; });
    return static_cast<int>(firstEmpty - list.begin());
}

void sortMonitors(MonitorList& list) {
    const int n = usedMonitorCount(list);
    QCollator collator;  // the user's default locale
    collator.setCaseSensitivity(Qt::CaseSensitive);
    const auto before = [&](int a, int b) {
        const Tdevices& l = list[a];
        const Tdevices& r = list[b];
        if (const int c = collator.compare(l.report.devsnid, r.report.devsnid); c != 0)
            return c < 0;
        if (const int c = collator.compare(l.report.devname, r.report.devname); c != 0)
            return c < 0;
        return l.sourceType < r.sourceType;
    };
    // A stable sort gives what picking the smallest remaining record n times gives, with the
    // lower slot winning a tie, in n log n comparisons instead of n squared.
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), before);
    for (int k = 0; k < n; ++k) list[order[k]].position = k;
}

void removeMonitors(MonitorList& list, int32_t sourceType) {
    if (sourceType == kSourceEmpty) return;
    bool removed = false;
    for (Tdevices& d : list) {
        if (d.sourceType != sourceType) continue;
        d = Tdevices{};
        removed = true;
    }
    // Move each remaining record down into the lowest free slot; the order stays.
    int free = 0;
    for (int slot = 0; slot < kMonitorCapacity; ++slot) {
        if (list[slot].sourceType == kSourceEmpty) continue;
        if (slot != free) {
            list[free] = std::move(list[slot]);
            list[slot] = Tdevices{};
        }
        ++free;
    }
    if (removed) sortMonitors(list);
}

void storeReportInMonitor(MonitorList& list, int index, const Tcaldaten& report) {
    if (index < 0 || index >= kMonitorCapacity) return;
    Tcaldaten& kept = list[index].report;
    kept.repdate = report.repdate;
    kept.repgamma = report.repgamma;
    kept.xyz = report.xyz;
}

QString comparableIdentity(const QString& text) {
    const QString bounded = text.left(kIdentityMaxChars);
    const auto end = std::find_if(bounded.begin(), bounded.end(), [](QChar c) {
        return c.unicode() < 0x20 || c.unicode() >= 0x80;
    });
    return bounded.left(end - bounded.begin());
}

bool sameMonitorIdentity(const QString& devsnidA, const QString& devnameA, const QString& devsnidB,
                         const QString& devnameB) {
    return comparableIdentity(devsnidA) == comparableIdentity(devsnidB) &&
           comparableIdentity(devnameA) == comparableIdentity(devnameB);
}

namespace {

struct MergeTarget {
    int slot;
    bool isNew;
};

// The record with this identity, else the first empty slot; none when the list is full.
std::optional<MergeTarget> findMergeTarget(const MonitorList& list, int32_t sourceType,
                                           const QString& devsnid, const QString& devname) {
    const int n = usedMonitorCount(list);
    for (int slot = 0; slot < n; ++slot) {
        const Tdevices& d = list[slot];
        if (d.sourceType == sourceType &&
            sameMonitorIdentity(d.report.devsnid, d.report.devname, devsnid, devname))
            return MergeTarget{slot, false};
    }
    if (n == kMonitorCapacity) return std::nullopt;
    return MergeTarget{n, true};
}

}  // namespace

MergeResult mergeSerialMonitor(MonitorList& list, const Tcaldaten& parsed) {
    const auto target = findMergeTarget(list, kSourceSerial, parsed.devsnid, parsed.devname);
    if (!target) return MergeResult::ListFull;
    Tdevices& d = list[target->slot];
    if (target->isNew) d = Tdevices{};
    d.sourceType = kSourceSerial;
    d.source = kSerialMonitorSource;
    d.report.devsnid = parsed.devsnid;
    d.report.devname = parsed.devname;
    d.report.repdate = parsed.repdate;
    d.report.repgamma = parsed.repgamma;
    d.report.xyz = parsed.xyz;
    // An update keeps its identity and so its place in the grid.
    if (!target->isNew) return MergeResult::Updated;
    sortMonitors(list);
    return MergeResult::Added;
}

MergeResult mergeNetworkMonitor(MonitorList& list, int32_t sourceType, const QString& source,
                                const QString& devsnid, const QString& devname,
                                const Tcaldaten* report) {
    // A record of type 0 would be an empty slot in the middle of the used ones.
    if (sourceType < kSourceFile || sourceType > kSourceSerial) return MergeResult::None;
    const auto target = findMergeTarget(list, sourceType, devsnid, devname);
    if (!target) return MergeResult::ListFull;
    Tdevices& d = list[target->slot];
    if (target->isNew) d = Tdevices{};
    d.sourceType = sourceType;
    d.source = source;
    d.report.devsnid = devsnid;
    d.report.devname = devname;
    if (report) storeReportInMonitor(list, target->slot, *report);
    if (!target->isNew) return MergeResult::Updated;
    sortMonitors(list);
    return MergeResult::Added;
}

bool ListFullNotice::note(MergeResult result, const MonitorList& list) {
    if (usedMonitorCount(list) < kMonitorCapacity) told_ = false;
    if (result != MergeResult::ListFull || told_) return false;
    told_ = true;
    return true;
}

std::optional<int> recordAtRow(const MonitorList& list, int row) {
    if (row < 1) return std::nullopt;  // the header row
    const int n = usedMonitorCount(list);
    for (int slot = 0; slot < n; ++slot)
        if (list[slot].position == row - 1) return slot;
    return std::nullopt;
}

std::optional<int> nextSelectedDevice(DeviceCursor& cursor, const GridSelection& selection,
                                      const RowLookup& recordOfRow) {
    if (!cursor.row)
        cursor.row = selection.topRow;
    else if (*cursor.row < selection.bottomRow)
        ++*cursor.row;
    else
        return std::nullopt;
    return recordOfRow(*cursor.row);
}

}  // namespace vqs
