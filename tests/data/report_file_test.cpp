#include "data/report_file.h"
#include "tests/platform/file_size_limit.h"
#include "tests/support/case_name.h"
#include "tests/support/qt_print.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <future>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vqs {
namespace {

using namespace std::chrono_literals;

const PatchCatalogue kTargets = makePatchCatalogue();

Tcaldaten sampleReport() {
    Tcaldaten r;
    r.devsnid = "SN 42";
    r.devname = "Studio \"A\"";
    r.repdate = "10/12/26";
    r.repgamma = "2.4";
    for (int slot = 1; slot < kPatchSlots; ++slot)
        r.xyz[slot] = {slot * 1.25f, slot * 1.5f, -slot * 0.001f};
    return r;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray withoutLine(QByteArray text, const QByteArray& key) {
    const qsizetype at = text.indexOf(key);
    return text.remove(at, text.indexOf('\n', at) + 1 - at);
}

TEST(ReportFile, TextHas65LinesInKeyOrderWithThreeDecimals) {
    const QByteArray text = reportText(sampleReport(), kTargets);
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_EQ(lines.size(), 66);  // 65 lines and nothing after the last line end
    EXPECT_EQ(lines[0], "VQS_FILEID = VQS1.0FILE\r");
    EXPECT_EQ(lines[2], "VQS_DEVNAME = Studio \"A\"\r") << "the quote stays in the content";
    EXPECT_EQ(lines[5], "VQS_RED = 1.250 1.500 -0.001\r");
    EXPECT_EQ(lines[43], "VQS_EBU15 = 48.750 58.500 -0.039\r");
    EXPECT_EQ(lines[44], "VQS_DICOM20 = 51.250 61.500 -0.041\r") << "slot 40 is skipped";
    EXPECT_EQ(lines[64], "VQS_DICOM0 = 76.250 91.500 -0.061\r");
}

TEST(ReportFile, NameDropsQuotesAndMakesFolderSeparatorsHarmless) {
    EXPECT_EQ(reportFileName(sampleReport()), "VQSREPORT_SN 42_Studio A_10-12-26.txt");
    EXPECT_EQ(reportFileName(Tcaldaten{}), "VQSREPORT___.txt");
    Tcaldaten wide;
    wide.devname = QString(QChar(0x0141)) + "\\x";  // Ł is beyond Latin-1
    EXPECT_EQ(reportFileName(wide), "VQSREPORT__u0141-x_.txt");
}

// Characters beyond Latin-1 once became NUL or control bytes: "一号" cut the name before
// ".txt", and every such monitor overwrote one file.
TEST(ReportFile, NamesBeyondLatin1StayDistinctListedAndStable) {
    QTemporaryDir dir;
    Tcaldaten first = sampleReport();
    first.devname = QString::fromUtf8("\u4e00\u53f7 \u2013 \u201cA\u201d");
    Tcaldaten second = first;
    second.devname = QString::fromUtf8("\u4e8c\u53f7 \u2013 \u201cA\u201d");
    EXPECT_EQ(reportFileName(first), "VQSREPORT_SN 42_u4E00u53F7 u2013 u201CAu201D_10-12-26.txt");
    ASSERT_TRUE(writeReportFile(dir.path(), first, kTargets).ok);
    ASSERT_TRUE(writeReportFile(dir.path(), second, kTargets).ok);

    auto monitors = std::make_unique<MonitorList>();
    scanReportDir(dir.path(), *monitors, kTargets);
    ASSERT_EQ(usedMonitorCount(*monitors), 2);
    for (int i = 0; i < 2; ++i) {
        const Tcaldaten& back = (*monitors)[i].report;
        EXPECT_EQ(reportFilePath(dir.path(), back), (*monitors)[i].source)
            << "saving what was read back writes the same file";
        EXPECT_TRUE(back.devname.endsWith(" u2013 u201CAu201D")) << back.devname.toStdString();
    }
}

TEST(ReportFile, ResultNumbersAreWhatPrintfWrites) {
    Tcaldaten report;
    report.xyz[1] = {0.0625f, -0.0f, 1000.0625f};  // halfway cases round to even
    report.xyz[2] = {-0.0004f, 64.0625f, 0.1875f};
    const QList<QByteArray> lines = reportText(report, kTargets).split('\n');
    EXPECT_EQ(lines[5], "VQS_RED = 0.062 -0.000 1000.062\r");
    EXPECT_EQ(lines[6], "VQS_GREEN = -0.000 64.062 0.188\r");
}

TEST(ReportFile, WrittenReportReadsBackAndIsListed) {
    QTemporaryDir dir;
    const Tcaldaten original = sampleReport();
    const FileWriteResult written = writeReportFile(dir.path(), original, kTargets);
    ASSERT_TRUE(written.ok) << written.error.toStdString();
    EXPECT_TRUE(isReportFile(written.path));

    Tcaldaten back;
    readReportFile(written.path, back, kTargets);
    EXPECT_EQ(back.devsnid, original.devsnid);
    EXPECT_EQ(back.devname, original.devname);
    EXPECT_EQ(back.repdate, "10/12/26") << "the date keeps its slashes inside the file";
    EXPECT_EQ(back.repgamma, "2.4");
    for (int slot = 1; slot < kPatchSlots; ++slot) {
        if (!isPatchSlot(slot)) continue;
        EXPECT_NEAR(back.xyz[slot].X, original.xyz[slot].X, 0.0005) << slot;
        EXPECT_NEAR(back.xyz[slot].Z, original.xyz[slot].Z, 0.0005) << slot;
    }
}

TEST(ReportFile, AFailedSaveSaysWhyAndKeepsTheOldFile) {
    QTemporaryDir dir;
    const Tcaldaten report = sampleReport();
    ASSERT_TRUE(writeReportFile(dir.path(), report, kTargets).ok);
    const QString path = reportFilePath(dir.path(), report);
    const QByteArray before = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    const FileWriteResult missing =
        writeReportFile(dir.filePath("no/such/folder"), report, kTargets);
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.isEmpty());

    // A folder in the way of the new file: the rename fails, nothing on disk changes.
    Tcaldaten blocked = report;
    blocked.devname = "blocked";
    ASSERT_TRUE(QDir(dir.path()).mkdir(reportFileName(blocked)));
    EXPECT_FALSE(writeReportFile(dir.path(), blocked, kTargets).ok);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file left";
}

// On a full disk or past a file-size limit the old report must survive whole and the save
// must say that it failed; a save that wrote part of the file once said it succeeded.
TEST(ReportFile, ASaveTheDiskRefusesKeepsTheOldReportAndSaysSo) {
    QTemporaryDir dir;
    const Tcaldaten report = sampleReport();
    ASSERT_TRUE(writeReportFile(dir.path(), report, kTargets).ok);
    const QString path = reportFilePath(dir.path(), report);
    const QByteArray before = contents(path);

    Tcaldaten newer = report;
    newer.xyz[1].X = 99.0f;
    const int answer = test::exitCodeUnderFileSizeLimit(100, [&] {
        const FileWriteResult written = writeReportFile(dir.path(), newer, kTargets);
        return written.ok ? 1 : written.error.isEmpty() ? 2 : 0;
    });
    EXPECT_EQ(answer, 0) << "1: said it was saved; 2: gave no reason";
    EXPECT_EQ(contents(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "nothing left of the new file";
}

struct HeaderCase {
    const char* text;
    bool accepted;
};

class ReportHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(ReportHeader, IsReadAsKeyEqualsValue) {
    EXPECT_EQ(startsAsReportFile(GetParam().text), GetParam().accepted) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportHeader,
                         testing::Values(HeaderCase{"VQS_FILEID = VQS1.0FILE\r\n", true},
                                         HeaderCase{"  \r\nVQS_FILEID\t=VQS1.0FILE", true},
                                         HeaderCase{"VQS_FILEID= VQS1.0FILE\r\n", false},
                                         HeaderCase{"VQS_FILEID = vqs1.0file\r\n", false},
                                         HeaderCase{"VQS_FILEID = VQS1.0FILEX\r\n", false},
                                         HeaderCase{"VQS_FILEID VQS1.0FILE\r\n", false},
                                         HeaderCase{"", false}));

struct KeyCase {
    const char* what;
    const char* text;
    const char* key;
    int length;  // -1: the whole text
    int start;   // -1: not found
};

class FindReportKey : public testing::TestWithParam<KeyCase> {};

TEST_P(FindReportKey, FindsTheValueStart) {
    const KeyCase& c = GetParam();
    const QByteArray text(c.text);
    const auto start = findReportKey(text, c.length < 0 ? text.size() : c.length, c.key);
    EXPECT_EQ(start.value_or(-1), c.start);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindReportKey,
    testing::Values(KeyCase{"spaces", "VQS_RED = 1 2 3\r\n", "VQS_RED", -1, 10},
                    KeyCase{"no spaces", "VQS_RED=1 2 3\r\n", "VQS_RED", -1, 8},
                    KeyCase{"several spaces after", "VQS_RED =   1\n", "VQS_RED", -1, 12},
                    KeyCase{"middle of a line", "junk VQS_RED = 1\r\n", "VQS_RED", -1, 15},
                    KeyCase{"no line end after", "VQS_RED = 1 2 3", "VQS_RED", -1, -1},
                    KeyCase{"beyond the length", "xxxxxxxx\nVQS_RED = 1\n", "VQS_RED", 5, -1},
                    KeyCase{"a longer key is another key", "VQS_GRY10 = 1\n", "VQS_GRY1", -1, -1},
                    KeyCase{"absent", "VQS_GREEN = 1\n", "VQS_RED", -1, -1},
                    KeyCase{"text ends at a zero byte", "VQS_RED = 1\0\n", "VQS_RED", -1, -1}),
    test::CaseName());

TEST(ParseReport, CompletenessNeedsTheTextsAndSlotsUpTo38) {
    const QByteArray text = reportText(sampleReport(), kTargets);
    Tcaldaten target;
    EXPECT_TRUE(parseReport(text, text.size(), target, kTargets));

    QByteArray misspelled = text;
    misspelled.replace("VQS_EBU15", "VQS_EBU5X");
    EXPECT_TRUE(parseReport(misspelled, misspelled.size(), target, kTargets));
    EXPECT_FALSE(parseReport(withoutLine(text, "VQS_EBU14"), text.size(), target, kTargets));
    EXPECT_FALSE(parseReport(withoutLine(text, "VQS_REPGAMMA"), text.size(), target, kTargets));
}

TEST(ParseReport, ValuesStopAtWideBytesAndNumbersAtTheFirstNonNumber) {
    Tcaldaten target;
    target.xyz[1] = {7, 8, 9};
    target.repgamma = "kept";
    const QByteArray text =
        "VQS_DEVNAME = K\xE4se 1 \r\nVQS_DEVSNID = ID  \r\n"
        "VQS_RED = 1.5 x 3\r\nVQS_GREEN=4 5 6\r\nVQS_BLUE = 1e2 nan 2\r\n";
    parseReport(text, text.size(), target, kTargets);
    EXPECT_EQ(target.devname, "K") << "a byte of 0x80 or more ends a text value";
    EXPECT_EQ(target.devsnid, "ID  ") << "trailing spaces belong to the value";
    EXPECT_EQ(target.repgamma, "kept") << "a missing key leaves the field";
    EXPECT_EQ(target.xyz[1].X, 1.5f);
    EXPECT_EQ(target.xyz[1].Y, 8.0f) << "numbers not read leave the fields";
    EXPECT_EQ(target.xyz[2].Z, 6.0f);
    EXPECT_EQ(target.xyz[3].X, 100.0f);
    EXPECT_EQ(target.xyz[3].Y, 0.0f) << "not-a-number is no number";
}

TEST(ScanReportDir, ListsEveryReportFileAndSkipsTheRest) {
    QTemporaryDir dir;
    Tcaldaten twin = sampleReport();
    ASSERT_TRUE(writeReportFile(dir.path(), twin, kTargets).ok);
    twin.repdate = "11/12/26";  // same identity, another file
    ASSERT_TRUE(writeReportFile(dir.path(), twin, kTargets).ok);
    writeFile(dir.filePath("VQSREPORT_binary.txt"), QByteArray("\0\x01\xff garbage", 12));
    writeFile(dir.filePath("VQSREPORT_truncated.txt"),
              "VQS_FILEID = VQS1.0FILE\r\nVQS_DEVSNID = T");
    writeFile(dir.filePath("other.txt"), reportText(sampleReport(), kTargets));
    ASSERT_TRUE(QDir(dir.path()).mkdir("VQSREPORT_folder.txt"));

    auto monitors = std::make_unique<MonitorList>();
    scanReportDir(dir.path(), *monitors, kTargets);
    ASSERT_EQ(usedMonitorCount(*monitors), 3);
    int twins = 0;
    for (int i = 0; i < 3; ++i) {
        const Tdevices& m = (*monitors)[i];
        EXPECT_EQ(m.sourceType, kSourceFile);
        EXPECT_TRUE(m.source.startsWith(dir.path()));
        twins += m.report.devsnid == "SN 42";
    }
    EXPECT_EQ(twins, 2) << "files of one monitor are never merged";
}

// A pipe of a report's name once froze the program at start-up: opening it waits for a
// writer. Should the scan wait, the test plays that writer so that it still ends.
TEST(ScanReportDir, ReadsOnlyRegularFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(writeReportFile(dir.path(), sampleReport(), kTargets).ok);
    const QString report = reportFilePath(dir.path(), sampleReport());
    const QByteArray pipe = QFile::encodeName(dir.filePath("VQSREPORT_pipe.txt"));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QString::fromLocal8Bit(pipe), dir.filePath("VQSREPORT_pipelink.txt")));
    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("VQSREPORT_zero.txt")));
    ASSERT_TRUE(QFile::link(report, dir.filePath("VQSREPORT_link.txt")));

    auto monitors = std::make_unique<MonitorList>();
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    std::thread scan([&] {
        scanReportDir(dir.path(), *monitors, kTargets);
        done.set_value();
    });
    bool waited = false;
    while (finished.wait_for(waited ? 100ms : 5s) != std::future_status::ready) {
        waited = true;
        const int writer = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }
    scan.join();
    EXPECT_FALSE(waited) << "the scan waited for a writer of the pipe";
    EXPECT_EQ(usedMonitorCount(*monitors), 2) << "the report and the link to it";
    EXPECT_FALSE(isReportFile(dir.filePath("VQSREPORT_zero.txt")));
}

TEST(ScanReportDir, AFullListTakesNothingMore) {
    QTemporaryDir dir;
    ASSERT_TRUE(writeReportFile(dir.path(), sampleReport(), kTargets).ok);
    auto monitors = std::make_unique<MonitorList>();
    for (Tdevices& m : *monitors) m.sourceType = kSourceNetwork;
    scanReportDir(dir.path(), *monitors, kTargets);
    for (const Tdevices& m : *monitors) ASSERT_EQ(m.sourceType, kSourceNetwork);
}

}  // namespace
}  // namespace vqs
