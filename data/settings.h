#pragma once
// The values the program keeps between runs, with their defaults. The settings store moves them
// to and from the per-user store; while the program runs they live here.

#include <QString>

#include <array>
#include <cstdint>

namespace vqs {

// Seven records of left, top, width, height, indexed by chart tag.
using WindowTable = std::array<std::array<int32_t, 4>, 7>;

inline constexpr WindowTable kDefaultWindowTable = {{
    {0, 0, 0, 0},
    {100, 100, 800, 800},
    {100, 100, 800, 400},
    {100, 100, 512, 512},
    {100, 100, 512, 512},
    {100, 100, 800, 300},
    {0, 0, 0, 0},
}};

inline const QString kDefaultComSetting = QStringLiteral("0");
inline const QString kDefaultNetworkIp = QStringLiteral("192.168.0.255");
inline const QString kDefaultTargetGamma = QStringLiteral("2.35");

struct Settings {
    QString reportDir;                   // folder of report, log and spectrum files
    QString comSetting = kDefaultComSetting;  // monitor link port number; "0" = none
    QString networkIp = kDefaultNetworkIp;    // where datagrams to monitors go
    QString targetGamma = kDefaultTargetGamma;
    std::array<int32_t, 4> patternGeometry{100, 100, 200, 200};  // test-pattern window
    WindowTable zoomGeometry = kDefaultWindowTable;  // chart zoom window per chart tag
    WindowTable pictureSize = kDefaultWindowTable;   // exported picture sizes per chart tag
};

}  // namespace vqs
