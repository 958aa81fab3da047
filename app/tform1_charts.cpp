// The charts on the main window: the chart set created at start, the paint of the five drawing
// areas from their prepared pictures, and the refresh after every reading.
//
// The drawing areas keep what was last drawn on them (their surfaces live in the chart set), so
// a window repaint shows the last refresh as it was; the paint steps below copy the prepared
// pictures only when an area has to start over from its background.

#include "app/chart_area.h"
#include "app/tform1.h"
#include "app/tform3.h"
#include "charts/chart_refresh.h"

#include <QToolButton>

namespace vqs {

namespace {

GammaSources gammaSources(const AppState& state) {
    return {state.workingReport, state.targets, state.settings.targetGamma};
}

ChartInputs chartInputs(const AppState& state, int selectedSlot) {
    return {state.probe1, state.probe2,       gammaSources(state),
            state.xyMode, state.spectralView, selectedSlot};
}

}  // namespace

void TForm1::createCharts() {
    trace_.record("createCharts");
    ChartSet& set = state_.charts;
    vqs::createCharts(set, gammaSources(state_));
    cieGraph->setSurface(&set.areas.cieGraph);
    SpectralGraph->setSurface(&set.areas.SpectralGraph);
    grayScaleGraph->setSurface(&set.areas.grayScaleGraph);
    ebuColorsGraph->setSurface(&set.areas.ebuColorsGraph);
    rgbGraph->setSurface(&set.areas.rgbGraph);
    cieGraphPaint();
    SpectralGraphPaint();
    grayScaleGraphPaint();
    ebuColorsGraphPaint();
    rgbGraphPaint();
}

void TForm1::cieGraphPaint() {
    paintChartArea(state_.charts, kCieTag, state_.xyMode, state_.spectralView, state_.rgbView);
    cieGraph->update();
}

// Views 2..5 are drawn by the refresh; their paint keeps what is there.
void TForm1::SpectralGraphPaint() {
    paintChartArea(state_.charts, kSpectralTag, state_.xyMode, state_.spectralView, state_.rgbView);
    SpectralGraph->update();
}

void TForm1::grayScaleGraphPaint() {
    paintChartArea(state_.charts, kGreyScaleTag, state_.xyMode, state_.spectralView,
                   state_.rgbView);
    grayScaleGraph->update();
}

void TForm1::ebuColorsGraphPaint() {
    paintChartArea(state_.charts, kEbuColoursTag, state_.xyMode, state_.spectralView,
                   state_.rgbView);
    ebuColorsGraph->update();
}

void TForm1::rgbGraphPaint() {
    showRgbPanel(state_.charts, state_.xyMode, state_.rgbView);
    rgbGraph->update();
}

void TForm1::refreshCharts() {
    // The zoom window follows every refresh while it is on the screen.
    state_.charts.zoom.shown = zoomForm_ != nullptr && zoomForm_->isVisible();
    redrawZoomOnNewPresentation();
    vqs::refreshCharts(state_.charts, chartInputs(state_, selectedSlot()), state_.rgbView);
    for (ChartArea* area : {cieGraph, SpectralGraph, grayScaleGraph, ebuColorsGraph, rgbGraph})
        area->update();
    if (state_.charts.zoom.shown) zoomForm_->PaintBox1Paint();
    // The chart buttons lie over the areas.
    for (QToolButton* button : {spdBtnSave, spdBtnZoomIn})
        if (button != nullptr) button->update();
}

void TForm1::redrawGammaPanels() {
    redrawGammaPictures(state_.charts, gammaSources(state_));
}

void TForm1::replotSpectralPanel() {
    plotSpectralView(state_.charts, chartInputs(state_, selectedSlot()));
    SpectralGraph->update();
}

}  // namespace vqs
