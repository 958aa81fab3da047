// The chart window of the main window: double-clicks and presses that switch the presentation
// of the charts, the two chart buttons shown on the chart under the mouse, the zoom window
// that shows one chart enlarged, and the picture of a chart. What they decide and keep is the
// chart window session's; here are the controls.

#include "app/chart_area.h"
#include "app/tform1.h"
#include "app/tform3.h"
#include "app/zoom_icon.h"

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

}  // namespace

// The session is made here, with the chart controls, so that it exists before the start-up
// sequence creates the charts.
void TForm1::connectChartWindow() {
    ChartPresentation presentation{state_.xyMode, state_.spectralView, state_.rgbView};
    ChartWindowRecords records{state_.charts,    presentation,   state_.workingReport,
                               state_.targets,   state_.settings, state_.probe1,
                               state_.probe2};
    ChartWindowView view{[this](const QString& text) { tellQuietly(text); },
                         [this] { return zoomForm_ != nullptr && zoomForm_->isVisible(); },
                         [this] { zoomForm_->FormResize(); }};
    chartWindow_ = std::make_unique<ChartWindowSession>(
        records,
        ChartWindowServices{services_.prompts, services_.clock, services_.settings, trace_},
        std::move(view));

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
    chartWindow_->toggleXyMode();
    cieGraphPaint();
    refreshCharts();
}

void TForm1::SpectralGraphDblClick() {
    chartWindow_->stepSpectralView(ViewStep::forward, selectedSlot());
    SpectralGraph->update();
}

void TForm1::SpectralGraphMouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton) return SpectralGraphDblClick();
    if (button != Qt::RightButton) return;
    chartWindow_->stepSpectralView(ViewStep::backward, selectedSlot());
    SpectralGraph->update();
}

void TForm1::rgbGraphDblClick() {
    chartWindow_->stepRgbView();
    rgbGraphPaint();
}

// ---- Chart buttons --------------------------------------------------------------------------

void TForm1::showChartButtons(int tag, QWidget* chart) {
    if (!chartWindow_->showButtonsOn(tag)) return;
    const int right = chart->x() + chart->width();
    spdBtnSave->move(right - kSaveButtonOffset, chart->y());
    spdBtnZoomIn->move(right - kZoomButtonOffset, chart->y());
    for (QToolButton* button : {spdBtnZoomIn, spdBtnSave}) {
        button->show();
        button->raise();
    }
}

void TForm1::hideChartButtons() {
    spdBtnZoomIn->hide();
    spdBtnSave->hide();
    chartWindow_->hideButtons();
}

void TForm1::FormMouseEnter() {
    hideChartButtons();
}

// ---- Zoom window ----------------------------------------------------------------------------

void TForm1::setZoomWindow(TForm3* window) {
    zoomWindow_ = window;
    zoomForm_ = window;
    if (window == nullptr) return;
    window->setHooks({[this](int tag, int width, int height) {
                          const QString caption =
                              chartWindow_->drawZoomChart(tag, width, height, selectedSlot());
                          zoomForm_->PaintBox1->setSurface(&state_.charts.zoom.PaintBox1);
                          return caption;
                      },
                      [this](int tag, const ZoomPlacement& placement) {
                          chartWindow_->zoomWindowClosed(tag, placement);
                      }});
}

void TForm1::spdBtnZoomInClick() {
    if (zoomForm_ == nullptr) return;
    const int tag = chartWindow_->chartButtonTag();
    zoomForm_->setTag(tag);
    if (zoomForm_->isHidden()) zoomForm_->show();
    if (const auto placement = chartWindow_->zoomPlacement(tag)) zoomForm_->place(*placement);
}

// ---- Picture --------------------------------------------------------------------------------

// The right button of the save button: the picture of the chart the buttons are on.
void TForm1::spdBtnSaveMouseDown() {
    chartWindow_->savePicture(selectedSlot());
}

}  // namespace vqs
