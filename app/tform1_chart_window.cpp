// The chart window of the main window: double-clicks and presses that switch the presentation
// of the charts, the two chart buttons shown on the chart under the mouse, and the zoom window
// that shows one chart enlarged.

#include "app/chart_area.h"
#include "app/tform1.h"
#include "app/tform3.h"
#include "app/zoom_icon.h"
#include "charts/chart_refresh.h"
#include "charts/zoom_chart.h"
#include "data/settings_store.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>

#include <functional>

namespace vqs {

namespace {

constexpr int kSaveButtonOffset = 41;  // from the chart's right edge to the save button
constexpr int kZoomButtonOffset = 82;
const QString kZoomHint =
    QStringLiteral("Shows this chart enlarged in the zoom window, where it can be resized");
const QString kSaveHint = QStringLiteral("Speichert den aktuellen Me\u00dfwert");

// Watches events of other objects for the window without taking them.
class EventHook final : public QObject {
  public:
    EventHook(QObject* parent, std::function<void(QObject*, QEvent*)> react)
        : QObject(parent), react_(std::move(react)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        const bool mouse =
            type == QEvent::MouseButtonPress || type == QEvent::Enter || type == QEvent::Leave;
        // While the window is taken down it is no main window any more.
        if (mouse && qobject_cast<const TForm1*>(parent()) != nullptr) react_(watched, event);
        return false;
    }

  private:
    std::function<void(QObject*, QEvent*)> react_;
};

GammaSources gammaSources(const AppState& state) {
    return {state.workingReport, state.targets, state.settings.targetGamma};
}

}  // namespace

void TForm1::connectChartWindow() {
    spdBtnZoomIn->setIcon(zoomInIcon());
    spdBtnZoomIn->setIconSize(QSize(24, 24));
    spdBtnZoomIn->setToolTip(kZoomHint);
    spdBtnSave->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    spdBtnSave->setToolTip(kSaveHint);
    connect(cieGraph, &ChartArea::doubleClicked, this, &TForm1::cieGraphDblClick);
    connect(SpectralGraph, &ChartArea::doubleClicked, this, &TForm1::SpectralGraphDblClick);
    connect(SpectralGraph, &ChartArea::pressed, this, &TForm1::SpectralGraphMouseDown);
    connect(rgbGraph, &ChartArea::doubleClicked, this, &TForm1::rgbGraphDblClick);
    const std::pair<ChartArea*, int> charts[] = {{cieGraph, kCieTag},
                                                 {SpectralGraph, kSpectralTag},
                                                 {grayScaleGraph, kGreyScaleTag},
                                                 {ebuColorsGraph, kEbuColoursTag},
                                                 {rgbGraph, kRgbTag}};
    for (const auto& [area, tag] : charts)
        connect(area, &ChartArea::entered, this,
                [this, area = area, tag = tag] { showChartButtons(tag, area); });
    connect(spdBtnZoomIn, &QToolButton::clicked, this, &TForm1::spdBtnZoomInClick);
    connect(spdBtnSave, &QToolButton::clicked, this, &TForm1::spdBtnSaveClick);
    watchChartButtonMouse();
}

// The buttons go when the mouse reaches the bare window, and the save button's right button
// asks for the picture size. Leaving a chart for one of its buttons keeps them.
void TForm1::watchChartButtonMouse() {
    auto* hook = new EventHook(this, [this](QObject* watched, QEvent* event) {
        if (watched == spdBtnSave && event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            spdBtnSaveMouseDown();
            return;
        }
        if (watched == this && event->type() == QEvent::Enter) return FormMouseEnter();
        if (watched != this && event->type() == QEvent::Leave) {
            QWidget* under = QApplication::widgetAt(QCursor::pos());
            const QWidget* keep[] = {cieGraph, SpectralGraph, grayScaleGraph, ebuColorsGraph,
                                     rgbGraph, spdBtnZoomIn,  spdBtnSave};
            for (const QWidget* w : keep)
                if (under != nullptr && (under == w || w->isAncestorOf(under))) return;
            if (under == nullptr || under == this || isAncestorOf(under)) FormMouseEnter();
        }
    });
    installEventFilter(hook);
    for (QWidget* w :
         std::initializer_list<QWidget*>{cieGraph, SpectralGraph, grayScaleGraph, ebuColorsGraph,
                                         rgbGraph, spdBtnZoomIn, spdBtnSave})
        w->installEventFilter(hook);
}

// ---- Presentation -------------------------------------------------------------------------

void TForm1::cieGraphDblClick() {
    state_.xyMode = !state_.xyMode;
    cieGraphPaint();
    refreshCharts();
}

void TForm1::SpectralGraphDblClick() {
    state_.spectralView = state_.spectralView >= 5 ? 0 : state_.spectralView + 1;
    stepSpectralView();
}

void TForm1::SpectralGraphMouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton) return SpectralGraphDblClick();
    if (button != Qt::RightButton) return;
    state_.spectralView = state_.spectralView <= 0 ? 5 : state_.spectralView - 1;
    stepSpectralView();
}

// The new view's picture with the readings over it; the zoom window follows when it shows the
// spectral panel.
void TForm1::stepSpectralView() {
    replotSpectralPanel();
    redrawZoomOnNewPresentation();
}

void TForm1::rgbGraphDblClick() {
    state_.rgbView = state_.rgbView >= 2 ? 0 : state_.rgbView + 1;
    rgbGraphPaint();
}

// ---- Chart buttons --------------------------------------------------------------------------

void TForm1::showChartButtons(int tag, QWidget* chart) {
    if (chartButtonTag_ == tag) return;
    const int right = chart->x() + chart->width();
    spdBtnSave->move(right - kSaveButtonOffset, chart->y());
    spdBtnZoomIn->move(right - kZoomButtonOffset, chart->y());
    chartButtonTag_ = tag;
    for (QToolButton* button : {spdBtnZoomIn, spdBtnSave}) {
        button->show();
        button->raise();
    }
}

void TForm1::hideChartButtons() {
    spdBtnZoomIn->hide();
    spdBtnSave->hide();
    chartButtonTag_ = 0;
}

void TForm1::FormMouseEnter() {
    hideChartButtons();
}

// ---- Zoom window ----------------------------------------------------------------------------

void TForm1::setZoomWindow(TForm3* window) {
    zoomWindow_ = window;
    zoomForm_ = window;
    if (window == nullptr) return;
    window->setHooks(
        {[this](int tag, int width, int height) { return drawZoomChart(tag, width, height); },
         [this](int tag, const ZoomPlacement& placement) { zoomWindowClosed(tag, placement); }});
}

void TForm1::spdBtnZoomInClick() {
    if (zoomForm_ == nullptr) return;
    const int tag = chartButtonTag_;
    zoomForm_->setTag(tag);
    if (zoomForm_->isHidden()) zoomForm_->show();
    if (tag >= 0 && tag < static_cast<int>(state_.settings.zoomGeometry.size()))
        zoomForm_->place(state_.settings.zoomGeometry[tag]);
}

// Configures the zoom chart for the window's client area and draws the readings over it at
// once, rather than at the next tick. The chart with its margins fills the client area: a plot
// of the client's size would put the right and bottom margins, and the axis labels there,
// outside the window.
QString TForm1::drawZoomChart(int tag, int clientWidth, int clientHeight) {
    ChartSet& set = state_.charts;
    ZoomChart& zoom = set.zoom;
    const int width = clientWidth - 2 * kZoomMargin;
    const int height = clientHeight - 2 * kZoomMargin;
    zoomDrawnFor_ = {state_.xyMode, state_.spectralView, state_.rgbView};
    const QString caption =
        configureZoomChart(zoom, tag, width, height, zoomDrawnFor_, gammaSources(state_));
    zoom.tag = tag;
    zoom.width = width;  // the plot size, which the refresh of the RGB panel configures with
    zoom.height = height;
    zoom.shown = true;
    paintZoomChart(zoom);
    zoomForm_->PaintBox1->setSurface(&zoom.PaintBox1);
    const ChartInputs inputs{state_.probe1, state_.probe2,       gammaSources(state_),
                             state_.xyMode, state_.spectralView, selectedSlot()};
    const int slot = currentSlot(set, inputs);
    if (slot != kStopSlot) vqs::refreshZoomChart(set, inputs, state_.rgbView, slot);
    return caption;
}

void TForm1::zoomWindowClosed(int tag, const ZoomPlacement& placement) {
    state_.charts.zoom.shown = false;
    if (tag < 0 || tag >= static_cast<int>(state_.settings.zoomGeometry.size())) return;
    state_.settings.zoomGeometry[tag] = placement;
    if (!saveWindowTables(services_.settings, state_.settings))
        services_.prompts.message(PromptKind::Warning,
                                  QStringLiteral("The zoom window's place could not be stored."),
                                  PromptButtons::Ok);
}

// The zoom chart was drawn for one presentation; after a switch it is drawn again, so that it
// never shows readings of one presentation on the chart of another.
void TForm1::redrawZoomOnNewPresentation() {
    if (zoomForm_ == nullptr || !zoomForm_->isVisible()) return;
    const int tag = state_.charts.zoom.tag;
    const bool stale = tag == kSpectralTag ? zoomDrawnFor_.spectralView != state_.spectralView
                                           : zoomDrawnFor_.xyMode != state_.xyMode;
    if (stale) zoomForm_->FormResize();
}

}  // namespace vqs
