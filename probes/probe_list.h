#pragma once
// The list of every probe found on this computer: ten rows, used rows contiguous from row 0.
// The first probe selector lists the rows in order (its index is the row); the second lists
// "none" first, so its index minus one is the row.

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

namespace vqs {

enum ProbeType : int32_t {
    kProbeFree = 0,
    kProbeQsp720 = 1,
    kProbeJeti = 2,
    kProbeCs2000 = 3,
    kProbeCs200 = 4,
};
inline constexpr int kProbeTypeCount = 5;
inline constexpr int kProbeRows = 10;
inline constexpr int kProbeSamples = 2048;

struct Tsmlist {
    int32_t type = kProbeFree;
    int32_t deviceNumber = 0;  // spectrometer library's 1-based device number
    QString serialNumber;      // also part of the probe's settings keys
    QString displayName;       // shown in the probe selectors
    QString calFilePath;       // spectrometer calibration file
    std::array<float, kProbeSamples> wavelength{};  // nm per spectral sample
    std::array<std::array<float, kProbeSamples>, 4> darkData{};  // per brightness range 1..4
    std::array<float, kProbeSamples> calCurve{};
    int32_t sampleCount = 0;
    int32_t firstPixel = 0;
    int32_t lastPixel = 0;
    float radCalCor = 1.0f;
    int32_t range = 0;
    int32_t scanCount = 0;
    int32_t userRange = 0;  // 0 Auto, 1 Bright, 2 Normal, 3 Medium, 4 Dark
    float lastY = 0.0f;
    std::array<float, 6> rangeFactor{1, 1, 1, 1, 1, 1};
    int32_t skipCount = 0;
    int32_t holdCount = 0;
    QString calStatus;
    int32_t calStatusColour = -1;  // 0x00BBGGRR
    int32_t device = 0;
    int32_t driverState = 0;
    std::array<int32_t, 4> integrationTime{50, 100, 200, 2400};
};

using ProbeList = std::array<Tsmlist, kProbeRows>;

// Every row free, with the start values of a probe's calibration state.
void resetProbeList(ProbeList& probes);

// The lowest free row, or -1 when all ten are used.
int findFreeProbeRow(const ProbeList& probes);

// The type of a row, or free for a row outside the list.
int32_t probeTypeAt(const ProbeList& probes, int row);

}  // namespace vqs
