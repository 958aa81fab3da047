#include "data/settings_store.h"

#include "data/text_narrowing.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>

namespace vqs {

// Byte blocks hold the variables exactly as they lie in memory: little-endian 32-bit values.
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(WindowTable) == 112);

namespace {

constexpr int32_t kCalibratedProbeType = 1;  // the spectrometer with a calibration file

const QString kAccessCheck = QStringLiteral("REGISTRYACCESSCHECK");
const QString kReportDir = QStringLiteral("REPORTFILESDIR");
const QString kComNo = QStringLiteral("COMNO");
const QString kNetworkIp = QStringLiteral("NETWORKIP");
const QString kPatternPosition = QStringLiteral("TP_POSITION_");
const QString kTargetGamma = QStringLiteral("TARGETGAMMA");
const QString kZoomTable = QStringLiteral("F3TLWH");
const QString kPictureTable = QStringLiteral("F3SAVETLWH");

void readText(const SettingsStore& store, const QString& name, QString& variable) {
    if (auto text = store.readText(settingKey(name), settingValueName(name)))
        variable = *std::move(text);
}

void readInt(const SettingsStore& store, const QString& name, int32_t& variable) {
    if (auto value = store.readInt(settingKey(name), settingValueName(name))) variable = *value;
}

// A shorter block fills the first bytes of the variable, a longer one gives what fits.
void readBlock(const SettingsStore& store, const QString& name, std::span<std::byte> block) {
    const auto bytes = store.readBytes(settingKey(name), settingValueName(name));
    if (!bytes) return;
    const auto count = std::min<std::size_t>(bytes->size(), block.size());
    std::memcpy(block.data(), bytes->constData(), count);
}

QByteArray blockBytes(std::span<const std::byte> block) {
    return QByteArray(reinterpret_cast<const char*>(block.data()),
                      static_cast<qsizetype>(block.size()));
}

bool writeText(SettingsStore& store, const QString& name, const QString& text) {
    return store.writeText(settingKey(name), settingValueName(name), text);
}

bool writeInt(SettingsStore& store, const QString& name, int32_t value) {
    return store.writeInt(settingKey(name), settingValueName(name), value);
}

bool writeBlock(SettingsStore& store, const QString& name, std::span<const std::byte> block) {
    return store.writeBytes(settingKey(name), settingValueName(name), blockBytes(block));
}

// Every group of writes first opens the access-check key: a user who may not write the store
// loses the whole group, silently, rather than half of it.
bool mayWrite(SettingsStore& store) {
    return store.openKeyForWriting(settingKey(kAccessCheck));
}

QString probeSettingName(const ProbeIdentity& probe, const QString& suffix) {
    return QStringLiteral("PROBE_") + QString::number(probe.type) + QLatin1Char('_') +
           probe.serialNumber + suffix;
}

QString darkDataName(const ProbeIdentity& probe, int range) {
    return probeSettingName(probe, QStringLiteral("_DARKDATA_") + QString::number(range));
}

// Spelled as the stores in the field have always held it.
QString rangeFactorName(const ProbeIdentity& probe) {
    return probeSettingName(probe, QStringLiteral("_BIGHTSCAN_"));
}

QString calFileName(const ProbeIdentity& probe) {
    return probeSettingName(probe, QStringLiteral("_CALFILE"));
}

}  // namespace

QString settingKey(const QString& name) {
    return kSettingsBaseKey + QLatin1Char('\\') + name;
}

QString settingValueName(const QString& name) {
    return QLatin1Char('\\') + settingKey(name);
}

void loadSettings(const SettingsStore& store, Settings& settings) {
    readText(store, kReportDir, settings.reportDir);
    readText(store, kComNo, settings.comSetting);
    readText(store, kNetworkIp, settings.networkIp);
    for (int n = 0; n < 4; ++n)
        readInt(store, kPatternPosition + QString::number(n), settings.patternGeometry[n]);
    readText(store, kTargetGamma, settings.targetGamma);
    readBlock(store, kZoomTable, std::as_writable_bytes(std::span(settings.zoomGeometry)));
    readBlock(store, kPictureTable, std::as_writable_bytes(std::span(settings.pictureSize)));
}

bool saveSettings(SettingsStore& store, const Settings& settings,
                  std::span<const ProbeCalPath> probes) {
    if (!mayWrite(store)) return false;
    writeInt(store, kAccessCheck, 1);
    for (const ProbeCalPath& p : probes)
        if (p.probe.type == kCalibratedProbeType && !p.calFilePath.isEmpty())
            writeText(store, calFileName(p.probe), p.calFilePath);
    writeText(store, kReportDir, settings.reportDir);
    writeText(store, kComNo, settings.comSetting);
    writeText(store, kNetworkIp, settings.networkIp);
    for (int n = 0; n < 4; ++n)
        writeInt(store, kPatternPosition + QString::number(n), settings.patternGeometry[n]);
    writeText(store, kTargetGamma, settings.targetGamma);
    return true;
}

bool saveWindowTables(SettingsStore& store, const Settings& settings) {
    if (!mayWrite(store)) return false;
    writeBlock(store, kZoomTable, std::as_bytes(std::span(settings.zoomGeometry)));
    writeBlock(store, kPictureTable, std::as_bytes(std::span(settings.pictureSize)));
    return true;
}

QString loadProbeCalPath(const SettingsStore& store, const ProbeIdentity& probe) {
    QString path;
    readText(store, calFileName(probe), path);
    return path;
}

void loadProbeScans(const SettingsStore& store, const ProbeIdentity& probe,
                    const DarkScans& darkData, std::span<float, kRangeFactors> rangeFactor) {
    for (int range = 0; range < kDarkScanRanges; ++range)
        readBlock(store, darkDataName(probe, range), std::as_writable_bytes(darkData[range]));
    readBlock(store, rangeFactorName(probe), std::as_writable_bytes(rangeFactor));
}

bool saveProbeDark(SettingsStore& store, const ProbeIdentity& probe,
                   const ConstDarkScans& darkData) {
    if (probe.type != kCalibratedProbeType || !mayWrite(store)) return false;
    for (int range = 0; range < kDarkScanRanges; ++range)
        writeBlock(store, darkDataName(probe, range), std::as_bytes(darkData[range]));
    return true;
}

bool saveProbeFactors(SettingsStore& store, const ProbeIdentity& probe,
                      std::span<const float, kRangeFactors> rangeFactor) {
    if (probe.type != kCalibratedProbeType || !mayWrite(store)) return false;
    writeBlock(store, rangeFactorName(probe), std::as_bytes(rangeFactor));
    return true;
}

float targetGammaValue(const QString& text) {
    const QByteArray bytes = narrowText(text);
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    // "%f" skips white space and takes a sign; from_chars does neither but never looks at the
    // process locale, which Qt has set from the environment.
    while (first != last && *first == ' ') ++first;
    bool negative = false;
    if (first != last && (*first == '+' || *first == '-')) negative = *first++ == '-';
    float value = 0.0f;
    if (first == last || *first == '+' || *first == '-') return 0.0f;
    if (std::from_chars(first, last, value).ec != std::errc{}) return 0.0f;
    return negative ? -value : value;
}

}  // namespace vqs
