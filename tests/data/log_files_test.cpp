#include "data/log_files.h"
#include "tests/platform/file_size_limit.h"
#include "tests/support/qt_print.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <vector>

namespace vqs {
namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// A CS-2000 as the driver describes it: 401 samples at 380..780 nm.
struct Cs2000Probe {
    std::array<float, 401> wavelengths{};
    std::array<float, 401> spectrum{};
    Cs2000Probe() {
        for (int i = 0; i < 401; ++i) {
            wavelengths[i] = 380.0f + i;
            spectrum[i] = 0.001f * i;
        }
    }
    LoggedProbe probe() const { return {QStringLiteral("CS-2000 #1"), wavelengths}; }
};

// A scratch report folder and a clock standing on one day of a user whose short date holds
// slashes.
class DailyFiles : public testing::Test {
  protected:
    QTemporaryDir dir;
    FixedClock clock{QDate(2026, 12, 10), QTime(14, 5, 9),
                     QLocale(QLocale::English, QLocale::UnitedStates)};
    Cs2000Probe cs2000;

    // The user's long time, as the lines carry it.
    QByteArray time() const { return clock.longTime(clock.timeOfDay()).toLatin1(); }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QString logPath() const { return path(QStringLiteral("LOGFILE_CS-2000 #1_12-10-26.txt")); }
    QString spectrumPath() const { return path(QStringLiteral("SPECTRUM_12-10-26.txt")); }

    FileWriteResult logOne(float Y) {
        return appendLogLine(dir.path(), clock, cs2000.probe(), {Y, Y, Y, cs2000.spectrum});
    }
    FileWriteResult spectrumOne() {
        const std::array<float, 3> values{1.0f, 2.5f, 0.125f};
        return appendSpectrumLine(dir.path(), clock, {380, 382, values});
    }
};

TEST_F(DailyFiles, FirstClickOfADayWritesHeadersAndLaterClicksOnlyLines) {
    ASSERT_TRUE(spectrumOne().ok);
    ASSERT_TRUE(logOne(1.0f).ok);
    const QByteArray first = time();
    clock.set(QDate(2026, 12, 10), QTime(14, 6, 0));
    ASSERT_TRUE(spectrumOne().ok);
    ASSERT_TRUE(logOne(2.0f).ok);
    const QByteArray second = time();
    ASSERT_NE(first, second);

    EXPECT_EQ(contents(spectrumPath()), "VQS_FILEID = VQS1.0SPECTRUM\r\n380,382\r\n" + first +
                                            ": 1.000000,2.500000,0.125000\r\n" + second +
                                            ": 1.000000,2.500000,0.125000\r\n");

    const QList<QByteArray> lines = contents(logPath()).split('\n');
    ASSERT_EQ(lines.size(), 7);  // four header lines, two readings, nothing after the last end
    EXPECT_EQ(lines[0], "VQS_FILEID = VQS1.0LOGFILE\r");
    EXPECT_EQ(lines[1], "WAVES\r");
    EXPECT_EQ(lines[3], "Data (Time X Y Z x y  nnmm Spectralvalues)\r");
    EXPECT_TRUE(lines[4].startsWith(first + " 1.000000 1.000000 1.000000 0.333333 0.333333 "));
    EXPECT_TRUE(lines[5].startsWith(second + " 2.000000 2.000000 2.000000 0.333333 0.333333 "));
    EXPECT_EQ(lines[6], "");
}

TEST_F(DailyFiles, ANewDayAndAnotherProbeStartNewFiles) {
    ASSERT_TRUE(logOne(1.0f).ok);
    clock.set(QDate(2026, 12, 11), QTime(9, 0, 0));
    ASSERT_TRUE(logOne(1.0f).ok);
    const std::array<float, 1> wave{555.0f};
    const std::array<float, 1> value{3.0f};
    ASSERT_TRUE(
        appendLogLine(dir.path(), clock, {QStringLiteral("QSP720"), wave}, {1, 1, 1, value}).ok);
    const QStringList files = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files,
              (QStringList{"LOGFILE_CS-2000 #1_12-10-26.txt", "LOGFILE_CS-2000 #1_12-11-26.txt",
                           "LOGFILE_QSP720_12-11-26.txt"}));
    EXPECT_TRUE(contents(path("LOGFILE_QSP720_12-11-26.txt"))
                    .startsWith("VQS_FILEID = VQS1.0LOGFILE\r\nWAVES\r\n555.0 \r\n"));
}

TEST(LogFile, Cs2000HeaderListsThe401WavelengthsAsPrintfWouldAndALineCarries401Values) {
    const Cs2000Probe cs2000;
    const QList<QByteArray> header = logFileHeader(cs2000.wavelengths).split('\n');
    ASSERT_EQ(header.size(), 5);
    EXPECT_TRUE(header[2].startsWith("380.0 381.0 382.0 ")) << header[2].left(40).toStdString();
    EXPECT_TRUE(header[2].endsWith("779.0 780.0 \r")) << header[2].right(40).toStdString();
    EXPECT_EQ(header[2].size(), 401 * 6 + 1);

    const QByteArray line = logLine("12:00:00", 1.0f, 2.0f, 1.0f, cs2000.spectrum);
    ASSERT_TRUE(line.endsWith(" \r\n"));
    const QList<QByteArray> fields = line.chopped(3).split(' ');
    ASSERT_EQ(fields.size(), 1 + 5 + 401);
    EXPECT_EQ(fields.mid(1, 5),
              (QList<QByteArray>{"1.000000", "2.000000", "1.000000", "0.250000", "0.500000"}));
    EXPECT_EQ(fields[6], "0.000000");
    EXPECT_EQ(fields[7], "0.001000");
    EXPECT_EQ(fields.last(), "0.400000");
}

TEST(LogFile, LinesAreByteExact) {
    const std::array<float, 3> spectrum{-0.5f, 1234567.0f, 0.0000005f};
    const std::array<float, 5> waves{9.5f, 99.96f, 380.25f, -1.0f, 12345.6f};
    struct Case {
        const char* what;
        QByteArray got;
        QByteArray expected;
    };
    const Case cases[] = {
        {"all readings zero give x and y 0", logLine("t", 0, 0, 0, {}),
         "t 0.000000 0.000000 0.000000 0.000000 0.000000 \r\n"},
        {"values as printf writes them, halfway to even", logLine("t", 1, 1, 2, spectrum),
         "t 1.000000 1.000000 2.000000 0.250000 0.250000 -0.500000 1234567.000000 0.000000 \r\n"},
        {"negative sum still divides", logLine("t", -1, 3, 0, {}),
         "t -1.000000 3.000000 0.000000 -0.500000 1.500000 \r\n"},
        {"wavelengths padded to five", logFileHeader(waves).split('\n')[2],
         "  9.5 100.0 380.2  -1.0 12345.6 \r"},
        {"spectrum line without spectrum", spectrumLine("09:00:00", {}), "09:00:00: \r\n"},
        {"spectrum line", spectrumLine("09:00:00", spectrum),
         "09:00:00: -0.500000,1234567.000000,0.000000\r\n"},
        {"spectrum header", spectrumFileHeader(380, 780),
         "VQS_FILEID = VQS1.0SPECTRUM\r\n380,780\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
}

TEST(LogFile, NamesFollowTheReportFileRule) {
    EXPECT_EQ(logFileName(QStringLiteral("CS-2000 \"A\"/B\\C"), QStringLiteral("10/12/26")),
              QStringLiteral("LOGFILE_CS-2000 A-B-C_10-12-26.txt"));
    EXPECT_EQ(spectrumFileName(QStringLiteral("10.12.26")),
              QStringLiteral("SPECTRUM_10.12.26.txt"));
    EXPECT_EQ(logFileName(QString::fromUtf8("Mess\u00e4ger \u4e00"), QStringLiteral("d")),
              QString::fromLatin1("LOGFILE_Mess\xe4ger u4E00_d.txt"));
}

TEST_F(DailyFiles, AFileThatCannotBeWrittenSaysWhichAndWhy) {
    const FileWriteResult written =
        appendLogLine(path("missing folder"), clock, cs2000.probe(), {1, 1, 1, {}});
    EXPECT_FALSE(written.ok);
    EXPECT_FALSE(written.error.isEmpty());
    EXPECT_TRUE(written.path.endsWith("missing folder/LOGFILE_CS-2000 #1_12-10-26.txt"))
        << written.path.toStdString();
}

TEST_F(DailyFiles, AFailedAppendKeepsTheDaysEarlierLinesAndLeavesNoFragment) {
    ASSERT_TRUE(logOne(1.0f).ok);
    const QByteArray before = contents(logPath());
    const int answer = test::exitCodeUnderFileSizeLimit(before.size() + 100, [&] {
        const FileWriteResult written = logOne(2.0f);
        return written.ok ? 1 : written.error.isEmpty() ? 2 : 0;
    });
    EXPECT_EQ(answer, 0) << "1: said it was written; 2: gave no reason";
    EXPECT_EQ(contents(logPath()), before);
    ASSERT_TRUE(logOne(3.0f).ok) << "the file goes on growing afterwards";
    EXPECT_TRUE(contents(logPath()).startsWith(before));
}

}  // namespace
}  // namespace vqs
