#include "data/settings_store.h"

#include "platform/ini_settings_store.h"
#include "tests/platform/file_size_limit.h"
#include "tests/support/qt_print.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <cstring>
#include <functional>
#include <map>
#include <variant>
#include <vector>

namespace vqs {
namespace {

// A store in memory that records what was written, in order, and can refuse every write like
// a store the user has no access to.
class RecordingStore final : public SettingsStore {
public:
    using Value = std::variant<QString, int32_t, QByteArray>;

    bool writable = true;
    QStringList log;  // "open NAME", "text NAME", "int NAME", "bytes NAME"
    int groups = 0;   // groups of writes the store took

    bool keyExists(const QString& key) const override {
        return std::any_of(values_.begin(), values_.end(),
                           [&](const auto& v) { return v.first.first == key; });
    }
    std::optional<QString> readText(const QString& k, const QString& n) const override {
        return read<QString>(k, n);
    }
    std::optional<int32_t> readInt(const QString& k, const QString& n) const override {
        return read<int32_t>(k, n);
    }
    std::optional<QByteArray> readBytes(const QString& k, const QString& n) const override {
        return read<QByteArray>(k, n);
    }
    bool openKeyForWriting(const QString& key) override {
        log << "open " + key.section('\\', -1);
        return writable;
    }
    bool writeValues(std::span<const StoreValue> values) override {
        if (!writable) return false;
        ++groups;
        for (const StoreValue& v : values) {
            static const char* const kinds[] = {"text", "int", "bytes"};
            log << QString::fromLatin1(kinds[v.value.index()]) + ' ' + v.key.section('\\', -1);
            values_[{v.key, v.name}] = v.value;
        }
        return true;
    }

private:
    template <typename T>
    std::optional<T> read(const QString& key, const QString& name) const {
        const auto it = values_.find({key, name});
        if (it == values_.end() || !std::holds_alternative<T>(it->second)) return std::nullopt;
        return std::get<T>(it->second);
    }
    std::map<std::pair<QString, QString>, Value> values_;
};

// The settings as a first start leaves them, with the start directory given.
Settings defaults() {
    Settings s;
    s.reportDir = QStringLiteral("/start/dir");
    return s;
}

// Settings with no value left at its default.
Settings changed() {
    Settings s;
    s.reportDir = QStringLiteral("/data/Berichte Ü");
    s.comSetting = QStringLiteral("4");
    s.networkIp = QStringLiteral("127.0.0.1");
    s.targetGamma = QStringLiteral("DICOM");
    s.patternGeometry = {-20, 30, 1920, 1080};
    for (int tag = 0; tag < 7; ++tag)
        for (int i = 0; i < 4; ++i) {
            s.zoomGeometry[tag][i] = tag * 10 + i - 3;
            s.pictureSize[tag][i] = 1000 * tag + i;
        }
    return s;
}

void expectSame(const Settings& actual, const Settings& expected) {
    EXPECT_EQ(actual.reportDir, expected.reportDir);
    EXPECT_EQ(actual.comSetting, expected.comSetting);
    EXPECT_EQ(actual.networkIp, expected.networkIp);
    EXPECT_EQ(actual.targetGamma, expected.targetGamma);
    EXPECT_EQ(actual.patternGeometry, expected.patternGeometry);
    EXPECT_EQ(actual.zoomGeometry, expected.zoomGeometry);
    EXPECT_EQ(actual.pictureSize, expected.pictureSize);
}

QByteArray int32Bytes(std::initializer_list<int32_t> values) {
    QByteArray bytes;
    for (int32_t v : values) bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
    return bytes;
}

const ProbeIdentity kSpectrometer{1, QStringLiteral("QS1234")};

struct ProbeScans {
    std::array<std::array<float, kDarkScanPixels>, kDarkScanRanges> dark{};
    std::array<float, kRangeFactors> factor{1, 1, 1, 1, 1, 1};
    DarkScans spans() { return {dark[0], dark[1], dark[2], dark[3]}; }
    ConstDarkScans constSpans() const { return {dark[0], dark[1], dark[2], dark[3]}; }
};

// The real store in a scratch folder that plays $XDG_CONFIG_HOME.
class IniStoreTest : public testing::Test {
protected:
    QString filePath() const { return configHome_.filePath(QStringLiteral("NORVALE/VQS1.0.ini")); }

    // Lets a test write a value of any type or shape straight into the store.
    bool put(const QString& name, const auto& value) {
        const QString key = settingKey(name), valueName = settingValueName(name);
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, int32_t>)
            return store_.writeInt(key, valueName, value);
        else if constexpr (std::is_same_v<T, QByteArray>)
            return store_.writeBytes(key, valueName, value);
        else
            return store_.writeText(key, valueName, value);
    }

    QTemporaryDir configHome_;
    IniSettingsStore store_{filePath(), kSettingsBaseKey};
};

TEST_F(IniStoreTest, FirstRunKeepsEveryDefault) {
    Settings s = defaults();
    loadSettings(store_, s);
    expectSame(s, defaults());
    EXPECT_EQ(s.comSetting, "0");
    EXPECT_EQ(s.networkIp, "192.168.0.255");
    EXPECT_EQ(s.targetGamma, "2.35");
    EXPECT_EQ(s.patternGeometry, (std::array<int32_t, 4>{100, 100, 200, 200}));
    EXPECT_EQ(s.zoomGeometry[3], (std::array<int32_t, 4>{100, 100, 512, 512}));
    EXPECT_EQ(loadProbeCalPath(store_, kSpectrometer), "");
    ProbeScans scans;
    loadProbeScans(store_, kSpectrometer, scans.spans(), scans.factor);
    EXPECT_EQ(scans.factor[5], 1.0f);
}

TEST_F(IniStoreTest, EverySettingSurvivesARoundTrip) {
    const Settings saved = changed();
    const std::vector<ProbeCalPath> probes = {
        {kSpectrometer, QStringLiteral("C:/cal/qs1234.cal")},
        {{1, QStringLiteral("NOPATH")}, QString()},
        {{3, QStringLiteral("CS2K")}, QStringLiteral("/not/for/this/type")},
    };
    ASSERT_TRUE(put("PROBE_1_NOPATH_CALFILE", QStringLiteral("old.cal")));
    ASSERT_TRUE(saveSettings(store_, saved, probes));
    ASSERT_TRUE(saveWindowTables(store_, saved));
    ProbeScans scans;
    for (int r = 0; r < kDarkScanRanges; ++r)
        for (int i = 0; i < kDarkScanPixels; ++i) scans.dark[r][i] = r * 10000.0f + i * 0.25f;
    scans.factor = {1.0f, 0.5f, 0.25f, 0.125f, 1.0f, 312.5f};
    ASSERT_TRUE(saveProbeDark(store_, kSpectrometer, scans.constSpans()));
    ASSERT_TRUE(saveProbeFactors(store_, kSpectrometer, scans.factor));

    const IniSettingsStore reopened(filePath(), kSettingsBaseKey);
    Settings loaded = defaults();
    loadSettings(reopened, loaded);
    expectSame(loaded, saved);
    EXPECT_EQ(loadProbeCalPath(reopened, kSpectrometer), "C:/cal/qs1234.cal");
    EXPECT_EQ(loadProbeCalPath(reopened, probes[1].probe), "old.cal") << "an empty path is kept";
    EXPECT_FALSE(reopened.keyExists(settingKey("PROBE_3_CS2K_CALFILE")));
    ProbeScans back;
    loadProbeScans(reopened, kSpectrometer, back.spans(), back.factor);
    EXPECT_EQ(back.dark, scans.dark);
    EXPECT_EQ(back.factor, scans.factor);
}

TEST_F(IniStoreTest, NamesTypesAndSizesAreThoseOfTheRegistry) {
    Settings s = defaults();
    ASSERT_TRUE(saveSettings(store_, s, std::vector<ProbeCalPath>{{kSpectrometer, "p"}}));
    ASSERT_TRUE(saveWindowTables(store_, s));
    ProbeScans scans;
    ASSERT_TRUE(saveProbeDark(store_, kSpectrometer, scans.constSpans()));
    ASSERT_TRUE(saveProbeFactors(store_, kSpectrometer, scans.factor));

    const QString base = QStringLiteral("NORVALE\\VQS1.0\\");
    const auto value = [&](const QString& name) { return '\\' + base + name; };
    EXPECT_EQ(store_.readInt(base + "REGISTRYACCESSCHECK", value("REGISTRYACCESSCHECK")), 1);
    EXPECT_EQ(store_.readText(base + "COMNO", value("COMNO")), "0");
    EXPECT_EQ(store_.readInt(base + "TP_POSITION_3", value("TP_POSITION_3")), 200);
    EXPECT_EQ(store_.readText(base + "PROBE_1_QS1234_CALFILE", value("PROBE_1_QS1234_CALFILE")),
              "p");
    const std::vector<std::pair<QString, int>> blocks = {
        {"F3TLWH", 112},
        {"F3SAVETLWH", 112},
        {"PROBE_1_QS1234_DARKDATA_0", 8192},
        {"PROBE_1_QS1234_DARKDATA_3", 8192},
        {"PROBE_1_QS1234_BIGHTSCAN_", 24},
    };
    for (const auto& [name, size] : blocks) {
        const auto bytes = store_.readBytes(base + name, value(name));
        ASSERT_TRUE(bytes) << name.toStdString();
        EXPECT_EQ(bytes->size(), size) << name.toStdString();
    }
    // Record 1 of the window table starts with left = 100 as a little-endian 32-bit integer.
    EXPECT_EQ(store_.readBytes(base + "F3TLWH", value("F3TLWH"))->mid(16, 4),
              QByteArray::fromHex("64000000"));

    // The file a person opens: one section per key, the value named with the key's path.
    QFile file(filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[COMNO]\n%5CNORVALE%5CVQS1.0%5CCOMNO=sz:0\n"))
        << text.left(400).toStdString();
    EXPECT_TRUE(text.contains("%5CREGISTRYACCESSCHECK=dword:00000001\n"));
}

TEST(SettingsGroups, ComeInTheirOrderAfterTheAccessCheckEachInOnePiece) {
    RecordingStore store;
    const std::vector<ProbeCalPath> probes = {
        {{1, QStringLiteral("A")}, QStringLiteral("a.cal")},
        {{4, QStringLiteral("B")}, QStringLiteral("b.cal")},
        {{1, QStringLiteral("C")}, QString()},
    };
    ASSERT_TRUE(saveSettings(store, defaults(), probes));
    EXPECT_EQ(store.log,
              QStringList({"open REGISTRYACCESSCHECK", "int REGISTRYACCESSCHECK",
                           "text PROBE_1_A_CALFILE", "text REPORTFILESDIR", "text COMNO",
                           "text NETWORKIP", "int TP_POSITION_0", "int TP_POSITION_1",
                           "int TP_POSITION_2", "int TP_POSITION_3", "text TARGETGAMMA"}));
    EXPECT_EQ(store.groups, 1) << "a file store is written once per save, not once per value";

    store.log.clear();
    ASSERT_TRUE(saveWindowTables(store, defaults()));
    EXPECT_EQ(store.log,
              QStringList({"open REGISTRYACCESSCHECK", "bytes F3TLWH", "bytes F3SAVETLWH"}));
    EXPECT_EQ(store.groups, 2);
}

TEST(SettingsGroups, AStoreWithoutWriteAccessSkipsEveryGroupSilently) {
    RecordingStore store;
    store.writable = false;
    ProbeScans scans;
    EXPECT_FALSE(saveSettings(store, changed(), std::vector<ProbeCalPath>{{kSpectrometer, "p"}}));
    EXPECT_FALSE(saveWindowTables(store, changed()));
    EXPECT_FALSE(saveProbeDark(store, kSpectrometer, scans.constSpans()));
    EXPECT_FALSE(saveProbeFactors(store, kSpectrometer, scans.factor));
    EXPECT_EQ(store.log, QStringList(4, "open REGISTRYACCESSCHECK")) << "nothing was tried";
}

TEST(SettingsGroups, ScansOfOtherProbeTypesAreNotKept) {
    RecordingStore store;
    ProbeScans scans;
    for (int32_t type : {0, 2, 3, 4}) {
        const ProbeIdentity probe{type, QStringLiteral("X")};
        EXPECT_FALSE(saveProbeDark(store, probe, scans.constSpans())) << type;
        EXPECT_FALSE(saveProbeFactors(store, probe, scans.factor)) << type;
    }
    EXPECT_TRUE(store.log.isEmpty());
}

// Root may write anywhere, but not below a regular file: this store cannot be written by
// anyone.
TEST(IniStoreAccess, AFolderThatCannotBeCreatedLeavesTheDefaultsAndWritesNothing) {
    QTemporaryDir configHome;
    QFile blocker(configHome.filePath(QStringLiteral("NORVALE")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.write("not a folder");
    blocker.close();
    IniSettingsStore store(configHome.filePath(QStringLiteral("NORVALE/VQS1.0.ini")),
                           kSettingsBaseKey);

    Settings s = defaults();
    loadSettings(store, s);
    expectSame(s, defaults());
    EXPECT_FALSE(saveSettings(store, changed()));
    EXPECT_FALSE(saveWindowTables(store, changed()));
    EXPECT_FALSE(store.writeText(settingKey("COMNO"), settingValueName("COMNO"), "1"));
    ASSERT_TRUE(blocker.open(QIODevice::ReadOnly));
    EXPECT_EQ(blocker.readAll(), "not a folder");
}

// QSettings said it had saved when the disk took only part of the file, and left that part in
// place of the old file. A group that would grow the file past the limit fails, by a little (the
// part QSettings keeps in its buffer and does not check) or by much, and so does any group once
// the file is past it; the file stays as it was.
TEST_F(IniStoreTest, AWriteTheDiskRefusesKeepsTheOldFileAndFails) {
    const auto contents = [&] {
        QFile file(filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const auto failsWithin = [&](qsizetype limit, const std::function<bool()>& save) {
        return test::exitCodeUnderFileSizeLimit(limit, [&] { return save() ? 1 : 0; }) == 0;
    };
    ProbeScans scans;
    ASSERT_TRUE(saveSettings(store_, defaults(), std::vector<ProbeCalPath>{{kSpectrometer, "p"}}));
    const QByteArray small = contents();
    const qsizetype room = small.size() + 64;
    EXPECT_TRUE(failsWithin(room, [&] { return saveWindowTables(store_, changed()); }));
    EXPECT_TRUE(failsWithin(
        room, [&] { return saveProbeDark(store_, kSpectrometer, scans.constSpans()); }));
    EXPECT_EQ(contents(), small);

    ASSERT_TRUE(saveProbeDark(store_, kSpectrometer, scans.constSpans()));
    const QByteArray large = contents();
    EXPECT_TRUE(failsWithin(room, [&] { return saveSettings(store_, changed()); }));
    EXPECT_EQ(contents(), large);
    const QDir folder = QFileInfo(filePath()).dir();
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"VQS1.0.ini"})
        << "no scratch files left";
}

TEST_F(IniStoreTest, ADamagedFileGivesWhatCanBeReadAndIsRepairedByTheNextSave) {
    QDir().mkpath(QFileInfo(filePath()).path());
    QFile file(filePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const char damaged[] =
        "\x01\xff\xfe garbage\n[[[\n=\n[COMNO]\n%5CNORVALE%5CVQS1.0%5CCOMNO=sz:7\n"
        "[TP_POSITION_0\nno section end\n\x00\x00\x00[NETWORKIP]\n";
    file.write(damaged, sizeof damaged - 1);
    file.close();

    Settings s = defaults();
    loadSettings(store_, s);
    Settings expected = defaults();
    expected.comSetting = "7";
    expectSame(s, expected);

    ASSERT_TRUE(saveSettings(store_, changed()));
    Settings reloaded = defaults();
    loadSettings(store_, reloaded);
    EXPECT_EQ(reloaded.patternGeometry, changed().patternGeometry);
    EXPECT_EQ(reloaded.comSetting, changed().comSetting);
}

TEST_F(IniStoreTest, AValueOfAnotherTypeKeepsTheDefault) {
    ASSERT_TRUE(put("COMNO", int32_t{3}));
    ASSERT_TRUE(put("NETWORKIP", QByteArray("127.0.0.9")));
    ASSERT_TRUE(put("TP_POSITION_0", QStringLiteral("5")));
    ASSERT_TRUE(put("TARGETGAMMA", int32_t{2}));
    ASSERT_TRUE(put("F3TLWH", QStringLiteral("0000")));
    // Entries written by hand: no type, a broken number, broken hex.
    QSettings ini(filePath(), QSettings::IniFormat);
    ini.setValue("REPORTFILESDIR/\\NORVALE\\VQS1.0\\REPORTFILESDIR", "/untyped");
    ini.setValue("TP_POSITION_1/\\NORVALE\\VQS1.0\\TP_POSITION_1", "dword:12x4");
    ini.setValue("TP_POSITION_2/\\NORVALE\\VQS1.0\\TP_POSITION_2", "dword:123456789");
    ini.setValue("F3SAVETLWH/\\NORVALE\\VQS1.0\\F3SAVETLWH", "hex:0");
    ini.sync();

    Settings s = defaults();
    loadSettings(store_, s);
    expectSame(s, defaults());
}

TEST_F(IniStoreTest, ShortBlocksFillTheFirstBytesAndLongOnesAreCut) {
    ASSERT_TRUE(put("F3TLWH", int32Bytes({7, 8})));
    QByteArray longTable;
    for (int32_t i = 0; i < 40; ++i) longTable += int32Bytes({i});
    ASSERT_TRUE(put("F3SAVETLWH", longTable));
    ASSERT_TRUE(put("PROBE_1_QS1234_DARKDATA_2", QByteArray(2, '\0')));
    QByteArray factors;
    for (float f : {2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f})
        factors.append(reinterpret_cast<const char*>(&f), sizeof f);
    ASSERT_TRUE(put("PROBE_1_QS1234_BIGHTSCAN_", factors));

    Settings s = defaults();
    loadSettings(store_, s);
    EXPECT_EQ(s.zoomGeometry[0], (std::array<int32_t, 4>{7, 8, 0, 0}));
    EXPECT_EQ(s.zoomGeometry[1], (std::array<int32_t, 4>{100, 100, 800, 800}));
    EXPECT_EQ(s.pictureSize[6], (std::array<int32_t, 4>{24, 25, 26, 27}));

    ProbeScans scans;
    scans.dark[2].fill(-1.0f);
    loadProbeScans(store_, kSpectrometer, scans.spans(), scans.factor);
    int32_t firstPixel;
    std::memcpy(&firstPixel, &scans.dark[2][0], sizeof firstPixel);
    EXPECT_EQ(firstPixel & 0xFFFF, 0) << "two bytes were stored";
    EXPECT_NE(firstPixel, 0) << "the other two bytes of the pixel stay";
    EXPECT_EQ(scans.dark[2][1], -1.0f);
    EXPECT_EQ(scans.factor, (std::array<float, 6>{2, 3, 4, 5, 6, 7}));
}

TEST_F(IniStoreTest, ProbeSerialsWithSeparatorsKeepTheirOwnValues) {
    const std::vector<ProbeCalPath> probes = {
        {{1, QStringLiteral("A/B")}, QStringLiteral("slash")},
        {{1, QStringLiteral("A%2FB")}, QStringLiteral("percent")},
        {{1, QStringLiteral("A\\B")}, QStringLiteral("backslash")},
    };
    ASSERT_TRUE(saveSettings(store_, defaults(), probes));
    EXPECT_EQ(loadProbeCalPath(store_, probes[0].probe), "slash");
    EXPECT_EQ(loadProbeCalPath(store_, probes[1].probe), "percent");
    EXPECT_EQ(loadProbeCalPath(store_, probes[2].probe), "backslash");
    // As the README shows them: escaped by the store, then once more by QSettings.
    QFile file(filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[PROBE_1_A%252FB_CALFILE]\n"));
    EXPECT_TRUE(text.contains("%5CPROBE_1_A%25252FB_CALFILE=sz:percent\n"));
}

TEST(TargetGamma, IsReadLikeACFloat) {
    const std::vector<std::pair<QString, float>> cases = {
        {"2.35", 2.35f}, {"1.8", 1.8f},  {"DICOM", 0.0f}, {"", 0.0f},     {"  2.4", 2.4f},
        {"2,2", 2.0f},   {"2.2x", 2.2f}, {"-1", -1.0f},   {"+2.5", 2.5f}, {"\t2.2", 2.2f},
        {".5", 0.5f},    {"+-1", 0.0f},  {"1e1", 10.0f},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(targetGammaValue(text), value) << text.toStdString();
}

}  // namespace
}  // namespace vqs
