#include "data/settings_store.h"

#include "data/text_narrowing.h"
#include "platform/c_number.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>
#include <vector>

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

StoreValue textValue(const QString& name, const QString& text) {
    return {settingKey(name), settingValueName(name), text};
}

StoreValue intValue(const QString& name, int32_t value) {
    return {settingKey(name), settingValueName(name), value};
}

StoreValue blockValue(const QString& name, std::span<const std::byte> block) {
    return {settingKey(name), settingValueName(name), blockBytes(block)};
}

// Every group of writes first opens the access-check key: a user who may not write the store
// loses the whole group, silently, rather than half of it. The group then goes to the store in
// one piece, so a file store is written once and either takes all of it or keeps what it had.
bool writeGroup(SettingsStore& store, const std::vector<StoreValue>& group) {
    return store.openKeyForWriting(settingKey(kAccessCheck)) && store.writeValues(group);
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
    std::vector<StoreValue> group{intValue(kAccessCheck, 1)};
    for (const ProbeCalPath& p : probes)
        if (p.probe.type == kCalibratedProbeType && !p.calFilePath.isEmpty())
            group.push_back(textValue(calFileName(p.probe), p.calFilePath));
    group.push_back(textValue(kReportDir, settings.reportDir));
    group.push_back(textValue(kComNo, settings.comSetting));
    group.push_back(textValue(kNetworkIp, settings.networkIp));
    for (int n = 0; n < 4; ++n)
        group.push_back(
            intValue(kPatternPosition + QString::number(n), settings.patternGeometry[n]));
    group.push_back(textValue(kTargetGamma, settings.targetGamma));
    return writeGroup(store, group);
}

bool saveWindowTables(SettingsStore& store, const Settings& settings) {
    return writeGroup(store,
                      {blockValue(kZoomTable, std::as_bytes(std::span(settings.zoomGeometry))),
                       blockValue(kPictureTable, std::as_bytes(std::span(settings.pictureSize)))});
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
    if (probe.type != kCalibratedProbeType) return false;
    std::vector<StoreValue> group;
    for (int range = 0; range < kDarkScanRanges; ++range)
        group.push_back(blockValue(darkDataName(probe, range), std::as_bytes(darkData[range])));
    return writeGroup(store, group);
}

bool saveProbeFactors(SettingsStore& store, const ProbeIdentity& probe,
                      std::span<const float, kRangeFactors> rangeFactor) {
    if (probe.type != kCalibratedProbeType) return false;
    return writeGroup(store, {blockValue(rangeFactorName(probe), std::as_bytes(rangeFactor))});
}

float targetGammaValue(const QString& text) {
    // "%f" of the C library would follow the user's locale, which Qt has set from the
    // environment, and read "2.35" as 2 in German.
    const QByteArray bytes = narrowText(text);
    const auto number = readCNumber(std::string_view(bytes.constData(), bytes.size()));
    return number ? static_cast<float>(number->value) : 0.0f;
}

}  // namespace vqs
