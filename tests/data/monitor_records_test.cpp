#include "data/monitor_records.h"

#include "tests/support/qt_print.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <memory>
#include <vector>

namespace vqs {
namespace {

// Sorting follows the user's default locale; the test binaries run in the C locale.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(previous_); }

private:
    QLocale previous_ = QLocale();
};

class MonitorListTest : public testing::Test {
protected:
    // Puts a record into the next free slot, unsorted, with a result that tells it apart.
    int add(int32_t type, const QString& devsnid, const QString& devname = QStringLiteral("M")) {
        const int slot = usedMonitorCount(list());
        Tdevices& d = list()[slot];
        d.sourceType = type;
        d.source = QStringLiteral("source %1").arg(slot);
        d.report.devsnid = devsnid;
        d.report.devname = devname;
        d.report.repdate = QStringLiteral("date %1").arg(slot);
        d.report.repgamma = QStringLiteral("2.2");
        d.report.xyz[17] = {float(slot), 1.0f, 2.0f};
        d.position = -5;
        d.pollState = 100 + slot;
        return slot;
    }

    // The records in display order as "devsnid/devname/type".
    QStringList shownOrder() const {
        const int n = usedMonitorCount(list());
        QStringList rows(n);
        for (int slot = 0; slot < n; ++slot) {
            const Tdevices& d = list()[slot];
            EXPECT_TRUE(d.position >= 0 && d.position < n) << "slot " << slot;
            if (d.position < 0 || d.position >= n) continue;
            rows[d.position] =
                d.report.devsnid + '/' + d.report.devname + '/' + QString::number(d.sourceType);
        }
        return rows;
    }

    MonitorList& list() { return *list_; }
    const MonitorList& list() const { return *list_; }

    std::unique_ptr<MonitorList> list_ = std::make_unique<MonitorList>();
};

TEST_F(MonitorListTest, SortFollowsTheLocaleCollationCaseSensitively) {
    const DefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    // In code-unit order "B" and "Z" would come before every small letter and "ä" last; a
    // comparison without case would tie "B" with "b" and leave "B" first by its slot.
    for (const char* id : {"B", "Z", "ä", "b", "a"}) add(kSourceFile, QString::fromUtf8(id));
    sortMonitors(list());
    EXPECT_EQ(shownOrder(), QStringList({"a/M/1", "ä/M/1", "b/M/1", "B/M/1", "Z/M/1"}));
}

TEST_F(MonitorListTest, SortOrdersByIdThenNameThenTypeAndKeepsSlotOrderOnTies) {
    struct Record {
        int32_t type;
        const char* devsnid;
        const char* devname;
    };
    const std::vector<Record> records = {
        {kSourceSerial, "7", "M"}, {kSourceFile, "7", "M"},  {kSourceNetwork, "7", "M"},
        {kSourceFile, "7", "A"},   {kSourceFile, "10", "Z"}, {kSourceFile, "7", "M"},
    };
    for (const Record& r : records) add(r.type, r.devsnid, r.devname);
    sortMonitors(list());
    EXPECT_EQ(shownOrder(), QStringList({"10/Z/1", "7/A/1", "7/M/1", "7/M/1", "7/M/2", "7/M/3"}));
    // Two report files with the same identity: the lower slot is shown first.
    EXPECT_LT(list()[1].position, list()[5].position);
}

TEST_F(MonitorListTest, SortOfAnEmptyOrSingleList) {
    sortMonitors(list());
    EXPECT_EQ(usedMonitorCount(list()), 0);

    add(kSourceNetwork, "1");
    sortMonitors(list());
    EXPECT_EQ(list()[0].position, 0);
}

TEST_F(MonitorListTest, RemovingATypeMovesEveryFieldOfTheOthersDown) {
    add(kSourceFile, "c");
    add(kSourceNetwork, "b");
    add(kSourceFile, "d");
    add(kSourceSerial, "a");
    sortMonitors(list());
    const Tdevices network = list()[1];
    const Tdevices serial = list()[3];

    removeMonitors(list(), kSourceFile);

    ASSERT_EQ(usedMonitorCount(list()), 2);
    for (const auto& [slot, expected] : {std::pair{0, &network}, std::pair{1, &serial}}) {
        const Tdevices& d = list()[slot];
        EXPECT_EQ(d.sourceType, expected->sourceType) << slot;
        EXPECT_EQ(d.source, expected->source) << slot;
        EXPECT_EQ(d.report.devsnid, expected->report.devsnid) << slot;
        EXPECT_EQ(d.report.devname, expected->report.devname) << slot;
        EXPECT_EQ(d.report.repdate, expected->report.repdate) << slot;
        EXPECT_EQ(d.report.repgamma, expected->report.repgamma) << slot;
        EXPECT_EQ(d.report.xyz[17].X, expected->report.xyz[17].X) << slot;
        EXPECT_EQ(d.pollState, expected->pollState) << slot;
    }
    EXPECT_EQ(shownOrder(), QStringList({"a/M/3", "b/M/2"})) << "positions are recomputed";
    for (int slot = 2; slot < 4; ++slot) EXPECT_EQ(list()[slot].sourceType, kSourceEmpty);
}

TEST_F(MonitorListTest, RemovingAnAbsentTypeChangesNothing) {
    add(kSourceFile, "a");
    add(kSourceFile, "b");
    list()[0].position = 1;  // as a caller may have left them; no sort without a removal
    list()[1].position = 0;
    removeMonitors(list(), kSourceSerial);
    EXPECT_EQ(usedMonitorCount(list()), 2);
    EXPECT_EQ(list()[0].position, 1);
    EXPECT_EQ(list()[1].position, 0);
}

TEST_F(MonitorListTest, SerialMergeUpdatesInPlaceOrAddsSorted) {
    const DefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    add(kSourceFile, "m");
    add(kSourceSerial, "s");
    sortMonitors(list());

    Tcaldaten reply;
    reply.devsnid = "s";
    reply.devname = "M";
    reply.repdate = "13.10.2016";
    reply.repgamma = "DICOM";
    reply.xyz[5] = {1.0f, 2.0f, 3.0f};
    mergeSerialMonitor(list(), reply);
    ASSERT_EQ(usedMonitorCount(list()), 2) << "same identity: an update";
    const Tdevices& updated = list()[1];
    EXPECT_EQ(updated.position, 1) << "the grid row does not move";
    EXPECT_EQ(updated.source, "RS232");
    EXPECT_EQ(updated.report.repdate, "13.10.2016");
    EXPECT_EQ(updated.report.repgamma, "DICOM");
    EXPECT_EQ(updated.report.xyz[5].Y, 2.0f);
    EXPECT_EQ(updated.report.xyz[17].X, 0.0f) << "slots missing from the reply become 0";
    EXPECT_EQ(updated.pollState, 101);

    reply.devsnid = "S";  // identity is compared character for character
    mergeSerialMonitor(list(), reply);
    ASSERT_EQ(usedMonitorCount(list()), 3);
    EXPECT_EQ(list()[2].sourceType, kSourceSerial);
    EXPECT_EQ(list()[2].pollState, 0);
    EXPECT_EQ(shownOrder(), QStringList({"m/M/1", "s/M/3", "S/M/3"}));
}

TEST_F(MonitorListTest, NetworkMergeReportsNewRecordsAndKeepsPollStateOnUpdate) {
    add(kSourceFile, "n");
    sortMonitors(list());

    EXPECT_EQ(mergeNetworkMonitor(list(), kSourceNetwork, "127.0.0.2", "n", "M"),
              MergeResult::Added);
    ASSERT_EQ(usedMonitorCount(list()), 2) << "a file record is not the network monitor";
    EXPECT_EQ(shownOrder(), QStringList({"n/M/1", "n/M/2"}));
    list()[1].pollState = 100;

    Tcaldaten report;
    report.devsnid = "other";
    report.repdate = "1.1.2017";
    report.repgamma = "2.4";
    report.unsaved = 1;
    report.xyz[61] = {9.0f, 9.0f, 9.0f};
    EXPECT_EQ(mergeNetworkMonitor(list(), kSourceNetwork, "127.0.0.3", "n", "M", &report),
              MergeResult::Updated);
    const Tdevices& d = list()[1];
    EXPECT_EQ(d.source, "127.0.0.3");
    EXPECT_EQ(d.pollState, 100);
    EXPECT_EQ(d.position, 1);
    EXPECT_EQ(d.report.devsnid, "n") << "the report does not change the identity";
    EXPECT_EQ(d.report.repdate, "1.1.2017");
    EXPECT_EQ(d.report.repgamma, "2.4");
    EXPECT_EQ(d.report.xyz[61].Z, 9.0f);

    EXPECT_EQ(mergeNetworkMonitor(list(), kSourceEmpty, "127.0.0.4", "x", "M"), MergeResult::None);
    EXPECT_EQ(usedMonitorCount(list()), 2) << "type 0 would be a hole in the list";
}

TEST_F(MonitorListTest, AFullListTakesNoNewRecordButStillUpdates) {
    for (int i = 0; i < kMonitorCapacity; ++i) {
        Tdevices& d = list()[i];
        d.sourceType = i == 0 ? kSourceSerial : kSourceNetwork;
        d.report.devsnid = QString::number(i);
        d.report.devname = "M";
    }
    sortMonitors(list());
    const int shownRowOfFirst = list()[0].position;

    EXPECT_EQ(mergeNetworkMonitor(list(), kSourceNetwork, "127.0.0.1", "new", "M"),
              MergeResult::ListFull);
    Tcaldaten reply;
    reply.devsnid = "new serial";
    EXPECT_EQ(mergeSerialMonitor(list(), reply), MergeResult::ListFull);
    EXPECT_EQ(usedMonitorCount(list()), kMonitorCapacity);
    for (const Tdevices& d : list()) EXPECT_NE(d.report.devsnid, "new");

    EXPECT_EQ(mergeNetworkMonitor(list(), kSourceNetwork, "127.0.0.9", "999", "M"),
              MergeResult::Updated);
    EXPECT_EQ(list()[999].source, "127.0.0.9");
    reply.devsnid = "0";
    reply.devname = "M";
    reply.repgamma = "1.8";
    EXPECT_EQ(mergeSerialMonitor(list(), reply), MergeResult::Updated);
    EXPECT_EQ(list()[0].report.repgamma, "1.8");
    EXPECT_EQ(list()[0].position, shownRowOfFirst);
}

// A discovery answer keeps 63 characters of a field, a report value ends at the first byte
// beyond ASCII: the two readings of one monitor find the same record, two monitors do not.
TEST_F(MonitorListTest, NetworkMergeComparesIdentitiesAsFarAsAnswerAndReportCarryThem) {
    const QString latin1 = QString::fromLatin1("R\xE9gie \xDC");
    const QString utf8AsBytes = QString::fromLatin1("R\xC3\xA9gie \xC3\x9C");
    const QString name300 = QString(100, QLatin1Char('a')) + QString(100, QLatin1Char('b')) +
                            QString(100, QLatin1Char('c'));
    struct Case {
        const char* what;
        QString listed;  // the name the record holds
        QString merged;  // the name of the next answer
        MergeResult result;
    };
    const std::vector<Case> cases = {
        {"a long name and its first 63 characters", name300.left(63), name300,
         MergeResult::Updated},
        {"a long name and a report's reading of it", name300, name300.left(63) + "x",
         MergeResult::Updated},
        {"a Latin-1 name and a report's reading of it", latin1, "R", MergeResult::Updated},
        {"a UTF-8 name read as bytes and a report's reading", utf8AsBytes, "R",
         MergeResult::Updated},
        {"names that differ at the 63rd character", QString(62, QLatin1Char('a')) + "x",
         QString(62, QLatin1Char('a')) + "y", MergeResult::Added},
        {"names that differ in case", "Studio A", "studio A", MergeResult::Added},
        {"names that differ before the first non-ASCII character", "Studio \u00C4", "Stadio \u00C4",
         MergeResult::Added},
    };
    for (const Case& c : cases) {
        *list_ = MonitorList{};
        mergeNetworkMonitor(list(), kSourceNetwork, "127.0.0.2", "SN", c.listed);
        EXPECT_EQ(mergeNetworkMonitor(list(), kSourceNetwork, "127.0.0.3", "SN", c.merged),
                  c.result)
            << c.what;
        EXPECT_EQ(usedMonitorCount(list()), c.result == MergeResult::Added ? 2 : 1) << c.what;
        EXPECT_EQ(list()[0].source, c.result == MergeResult::Added ? "127.0.0.2" : "127.0.0.3")
            << c.what;
    }
    // The serial identity is compared the same way.
    *list_ = MonitorList{};
    mergeNetworkMonitor(list(), kSourceNetwork, "127.0.0.2", name300, "M");
    EXPECT_EQ(mergeNetworkMonitor(list(), kSourceNetwork, "127.0.0.2", name300.left(63), "M"),
              MergeResult::Updated);
}

// Told when an answer finds the list full, not again at every further answer, and again only
// once the list had room in between.
TEST_F(MonitorListTest, AFullListIsToldOncePerEpisode) {
    for (int i = 0; i < kMonitorCapacity; ++i) add(kSourceNetwork, QString::number(i));
    struct Step {
        MergeResult result;
        bool roomBefore;  // one record removed before this step
        bool told;
    };
    const std::vector<Step> steps = {
        {MergeResult::Updated, false, false},  {MergeResult::ListFull, false, true},
        {MergeResult::ListFull, false, false}, {MergeResult::None, false, false},
        {MergeResult::ListFull, false, false}, {MergeResult::None, true, false},
        {MergeResult::ListFull, false, true},
    };
    ListFullNotice notice;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].roomBefore) {
            list()[kMonitorCapacity - 1].sourceType = kSourceEmpty;
            EXPECT_FALSE(notice.note(MergeResult::None, list()));
            add(kSourceNetwork, "again");
        }
        EXPECT_EQ(notice.note(steps[i].result, list()), steps[i].told) << "step " << i;
    }
}

TEST_F(MonitorListTest, NextSelectedDeviceVisitsEachSelectedRowOnce) {
    for (const char* id : {"c", "a", "b"}) add(kSourceFile, id);
    sortMonitors(list());  // rows 1, 2, 3 show slots 1, 2, 0
    const RowLookup lookup = [this](int row) { return recordAtRow(list(), row); };

    struct Case {
        GridSelection selection;
        std::vector<int> visited;  // records until the walk ends
    };
    const std::vector<Case> cases = {
        {{1, 3}, {1, 2, 0}},
        {{2, 2}, {2}},
        {{3, 6}, {0}},  // rows below the last record end the walk
        {{0, 0}, {}},   // the header row shows no record
    };
    for (const Case& c : cases) {
        DeviceCursor cursor;
        std::vector<int> visited;
        for (int call = 0; call < 10; ++call) {
            const auto record = nextSelectedDevice(cursor, c.selection, lookup);
            if (!record) break;
            visited.push_back(*record);
        }
        EXPECT_EQ(visited, c.visited) << c.selection.topRow << ".." << c.selection.bottomRow;
    }
}

TEST(WorkingReport, ConfirmDiscardAsksOnlyWhileResultsAreUnsaved) {
    const QString question = QStringLiteral("Captured Data not saved! Continoue anyway?");
    struct Case {
        int32_t unsaved;
        std::optional<PromptAnswer> answer;  // none: no box may appear
        bool abandon;
        int32_t unsavedAfter;
    };
    const std::vector<Case> cases = {
        {0, std::nullopt, false, 0},
        {1, PromptAnswer::Ok, false, 0},
        {1, PromptAnswer::Cancel, true, 1},
    };
    for (const Case& c : cases) {
        test::ScriptedPrompter prompter;
        if (c.answer) prompter.answerNext(*c.answer);
        Tcaldaten report;
        report.unsaved = c.unsaved;
        EXPECT_EQ(confirmDiscard(report, prompter), c.abandon) << c.unsaved;
        EXPECT_EQ(report.unsaved, c.unsavedAfter);
        if (!c.answer) {
            EXPECT_TRUE(prompter.shown().empty());
            continue;
        }
        ASSERT_EQ(prompter.shown().size(), 1u);
        EXPECT_EQ(prompter.shown()[0].text, question);
        EXPECT_EQ(prompter.shown()[0].buttons, PromptButtons::OkCancel);
    }
}

TEST(WorkingReport, ClearingDicomResultsSparesTheRest) {
    Tcaldaten report;
    report.unsaved = 1;
    for (XyzTriple& t : report.xyz) t = {1.0f, 2.0f, 3.0f};
    clearDicomResults(report);
    for (int slot = 0; slot < kPatchSlots; ++slot)
        EXPECT_EQ(report.xyz[slot].Y, slot < kFirstDicomSlot ? 2.0f : 0.0f) << slot;
    EXPECT_EQ(report.unsaved, 1);
}

}  // namespace
}  // namespace vqs
