#pragma once
// Moves the settings to and from the per-user store. Every setting is a key of its own below
// NORVALE\VQS1.0 that holds one value named with the key's full path; the store is read once
// at start-up and written at exit, the window tables and a probe's scans also when they change.

#include "data/settings.h"
#include "platform/settings_store.h"

#include <QString>

#include <array>
#include <cstdint>
#include <span>

namespace vqs {

inline const QString kSettingsBaseKey = QStringLiteral("NORVALE\\VQS1.0");

// "NORVALE\VQS1.0\" + name, and the name of the value inside it, "\NORVALE\VQS1.0\" + name.
QString settingKey(const QString& name);
QString settingValueName(const QString& name);

// A probe as its settings name it: "PROBE_" + type + "_" + serial + suffix.
struct ProbeIdentity {
    int32_t type = 0;
    QString serialNumber;
};

// What the probe list hands over at exit: only calibrated spectrometers with a path are kept.
struct ProbeCalPath {
    ProbeIdentity probe;
    QString calFilePath;
};

inline constexpr int kDarkScanRanges = 4;
inline constexpr int kDarkScanPixels = 2048;
inline constexpr int kRangeFactors = 6;

// The four dark spectra of a probe, one per brightness range.
using DarkScans = std::array<std::span<float, kDarkScanPixels>, kDarkScanRanges>;
using ConstDarkScans = std::array<std::span<const float, kDarkScanPixels>, kDarkScanRanges>;

// Missing or unreadable settings leave the values as they are (the defaults).
void loadSettings(const SettingsStore& store, Settings& settings);

// Writes the settings of the exit as one group; false when they did not reach the store (the
// user may not write it, or the write failed: a file store then keeps what it held).
bool saveSettings(SettingsStore& store, const Settings& settings,
                  std::span<const ProbeCalPath> probes = {});

// Writes F3TLWH and F3SAVETLWH as one group; false when they did not reach the store.
bool saveWindowTables(SettingsStore& store, const Settings& settings);

// The stored calibration-file path of a probe; empty when there is none.
QString loadProbeCalPath(const SettingsStore& store, const ProbeIdentity& probe);

// Overwrites the dark spectra and range factors with what is stored for the probe.
void loadProbeScans(const SettingsStore& store, const ProbeIdentity& probe,
                    const DarkScans& darkData, std::span<float, kRangeFactors> rangeFactor);

// Store a probe's scan results, each call one group; only calibrated spectrometers (type 1)
// keep them. False when nothing was kept.
bool saveProbeDark(SettingsStore& store, const ProbeIdentity& probe,
                   const ConstDarkScans& darkData);
bool saveProbeFactors(SettingsStore& store, const ProbeIdentity& probe,
                      std::span<const float, kRangeFactors> rangeFactor);

// The target-gamma text narrowed and read like a C "%f" with a full stop; 0 when it does not
// start with a number. The one reader of the setting: the grading's target asks it too.
float targetGammaValue(const QString& text);

}  // namespace vqs
