#pragma once
// The main chart set: every chart record and background picture the main window is painted
// from, created once at start, the surfaces of the five drawing areas the refresh draws on, and
// the zoom chart. The application owns one set; the operations take it as a parameter.

#include "charts/canvas.h"
#include "charts/chart_geometry.h"
#include "charts/gamma_panel.h"

#include <QString>

#include <array>

namespace vqs {

// Pictures of the set. The six views of the spectral panel are the pictures 2..7 in order.
inline constexpr int kChartPictures = 18;
inline constexpr int kChartRecords = 17;  // the two relative-luminance panels share one record
inline constexpr int kDiagramXyPicture = 0;
inline constexpr int kDiagramUvPicture = 1;
inline constexpr int kFirstViewPicture = 2;
inline constexpr int kSpectralViews = 6;
inline constexpr int kGreyXyPicture = 8;
inline constexpr int kGreyUvPicture = 9;
inline constexpr int kEbuXyPicture = 10;
inline constexpr int kEbuUvPicture = 11;
inline constexpr int kGamutXyPicture = 12;  // red; green and blue follow
inline constexpr int kGamutUvPicture = 15;

// Chart tags of the drawing areas, as the chart buttons and the zoom window name them.
inline constexpr int kCieTag = 1;
inline constexpr int kSpectralTag = 2;
inline constexpr int kGreyScaleTag = 3;
inline constexpr int kEbuColoursTag = 4;
inline constexpr int kRgbTag = 5;

inline int diagramPicture(bool xyMode) {
    return xyMode ? kDiagramXyPicture : kDiagramUvPicture;
}
inline int viewPicture(int spectralView) {
    return kFirstViewPicture + spectralView;
}
inline int greyPicture(bool xyMode) {
    return xyMode ? kGreyXyPicture : kGreyUvPicture;
}
inline int ebuPicture(bool xyMode) {
    return xyMode ? kEbuXyPicture : kEbuUvPicture;
}
inline int gamutPicture(bool xyMode, int primary) {
    return (xyMode ? kGamutXyPicture : kGamutUvPicture) + primary;
}

// What the drawing areas of the main window show. The refresh draws on these; the widgets
// display them as they are.
struct ChartAreas {
    Canvas cieGraph;
    Canvas SpectralGraph;
    Canvas grayScaleGraph;
    Canvas ebuColorsGraph;
    Canvas rgbGraph;
};

// The single chart of the zoom window, configured for whichever chart it shows.
struct ZoomChart {
    TGraphConstrains chart;
    Canvas picture;  // background drawn by the configuration
    QString name;
    Canvas PaintBox1;  // what the zoom window shows
    bool shown = false;
    int tag = 0;    // chart tag it shows
    int width = 0;  // plot size of the zoom chart: the window's client size less the margins
    int height = 0;
};

struct ChartSet {
    std::array<TGraphConstrains, kChartRecords> records;
    std::array<Canvas, kChartPictures> pictures;
    ChartAreas areas;
    ZoomChart zoom;

    const TGraphConstrains& recordOf(int picture) const;
    TGraphConstrains& recordOf(int picture);
};

// Draws picture `picture` of the set (0 .. kChartPictures - 1) on `canvas` with `chart`: the set's
// own record, or a copy of it in print style.
void drawChartPicture(Canvas& canvas, int picture, const TGraphConstrains& chart,
                      const GammaSources& sources);

// Fills every record, sizes and draws every picture, sizes the drawing areas (black until
// painted) and leaves the zoom picture empty. The gamma panels take their target curves from
// `sources` as they are now.
void createCharts(ChartSet& set, const GammaSources& sources);

// Redraws the grey-scale relative-luminance and gamma pictures, whose target curves follow the
// target-gamma setting and, for a DICOM target, the report's black and white.
void redrawGammaPictures(ChartSet& set, const GammaSources& sources);

// The picture whose record a view of the spectral panel is drawn with. With a DICOM target
// the grey-scale gamma view takes the DICOM gamma record (1.0 to 5.0): equivalent gammas of the
// display function reach about 3.9, above the 1.0 to 3.0 of the power-law targets.
int viewRecordPicture(int view, bool dicomTarget);

// The records and pictures plotMeasurement draws the views with.
PlotTargets plotTargets(const ChartSet& set, bool dicomTarget);

// Copies the chromaticity, grey-scale and EBU-colour pictures of the mode onto their areas,
// then the RGB panel.
void showChartPictures(ChartSet& set, bool xyMode, int rgbView);
// The same without the chromaticity diagram.
void showPanelPictures(ChartSet& set, bool xyMode, int rgbView);
// Copies the gamut picture of the mode and primary (rgbView 0, 1, 2) onto rgbGraph.
void showRgbPanel(ChartSet& set, bool xyMode, int rgbView);

// The paint of one drawing area by chart tag: its prepared picture for the current selection.
// The spectral area takes the picture of view 0 or 1 and keeps what it has for the other
// views, which the refresh draws.
void paintChartArea(ChartSet& set, int tag, bool xyMode, int spectralView, int rgbView);

}  // namespace vqs
