// The charts on the main window: the chart set created at start, the paint of the five drawing
// areas from their prepared pictures, and the refresh after every reading. The chart window
// session draws; here the drawing areas are given their surfaces and told to show them.
//
// The drawing areas keep what was last drawn on them (their surfaces live in the chart set), so
// a window repaint shows the last refresh as it was; the paint steps copy the prepared pictures
// only when an area has to start over from its background.

#include "app/chart_area.h"
#include "app/tform1.h"
#include "app/tform3.h"

#include <QToolButton>

namespace vqs {

void TForm1::createCharts() {
    chartWindow_->createCharts();
    ChartSet& set = state_.charts;
    cieGraph->setSurface(&set.areas.cieGraph);
    SpectralGraph->setSurface(&set.areas.SpectralGraph);
    grayScaleGraph->setSurface(&set.areas.grayScaleGraph);
    ebuColorsGraph->setSurface(&set.areas.ebuColorsGraph);
    rgbGraph->setSurface(&set.areas.rgbGraph);
}

void TForm1::cieGraphPaint() {
    chartWindow_->paintArea(kCieTag);
    cieGraph->update();
}

// Views 2..5 are drawn by the refresh; their paint keeps what is there.
void TForm1::SpectralGraphPaint() {
    chartWindow_->paintArea(kSpectralTag);
    SpectralGraph->update();
}

void TForm1::grayScaleGraphPaint() {
    chartWindow_->paintArea(kGreyScaleTag);
    grayScaleGraph->update();
}

void TForm1::ebuColorsGraphPaint() {
    chartWindow_->paintArea(kEbuColoursTag);
    ebuColorsGraph->update();
}

void TForm1::rgbGraphPaint() {
    chartWindow_->paintArea(kRgbTag);
    rgbGraph->update();
}

void TForm1::refreshCharts() {
    chartWindow_->refresh(selectedSlot());
    for (ChartArea* area : {cieGraph, SpectralGraph, grayScaleGraph, ebuColorsGraph, rgbGraph})
        area->update();
    if (state_.charts.zoom.shown) zoomForm_->PaintBox1Paint();
    // The chart buttons lie over the areas.
    for (QToolButton* button : {spdBtnSave, spdBtnZoomIn})
        if (button != nullptr) button->update();
}

void TForm1::redrawGammaPanels() {
    chartWindow_->redrawGammaPanels();
}

void TForm1::replotSpectralPanel() {
    chartWindow_->replotSpectralPanel(selectedSlot());
    SpectralGraph->update();
}

}  // namespace vqs
