#include "app/tform3.h"

#include "app/chart_area.h"
#include "app/dark_theme.h"
#include "charts/canvas.h"
#include "charts/chart_set.h"

#include <QCloseEvent>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

namespace vqs {

namespace {

constexpr int kMinOuterWidth = 200;
constexpr int kMinOuterHeight = 100;
constexpr int kMinSquareSide = 100;

bool isSquareChart(int tag) {
    return tag == kGreyScaleTag || tag == kEbuColoursTag;
}

// The client size a chart takes in a client area of w x h: the tolerance panels are square
// with the side of the same diagonal, the others keep the area; none below the minimums.
QSize chartClientSize(int tag, int w, int h) {
    if (isSquareChart(tag)) {
        const double side = std::sqrt((double(w) * w + double(h) * h) / 2.0);
        w = h = std::max(static_cast<int>(side), kMinSquareSide);
    } else {
        w = std::max(w, kMinOuterWidth);
    }
    return {w, std::max(h, kMinOuterHeight)};
}

}  // namespace

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Form3"));
    applyDarkTheme(*this);
    PaintBox1 = new ChartArea(this);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->move(0, 0);
    keepOuterMinimum();
}

bool TForm3::FormCanResize(int outerWidth, int outerHeight) {
    return outerWidth >= kMinOuterWidth && outerHeight >= kMinOuterHeight;
}

// The frame's share of the outer size; the settings keep outer sizes, Qt sizes the client.
QSize TForm3::frameExtra() const {
    const QRect outer = frameGeometry();
    return {std::max(0, outer.width() - width()), std::max(0, outer.height() - height())};
}

// Qt cannot veto a size the window manager proposes, so the refused outer sizes become the
// window's minimum.
void TForm3::keepOuterMinimum() {
    const QSize extra = frameExtra();
    setMinimumSize(std::max(1, kMinOuterWidth - extra.width()),
                   std::max(1, kMinOuterHeight - extra.height()));
}

void TForm3::place(const ZoomPlacement& placement) {
    const auto [top, left, outerWidth, outerHeight] = placement;
    if (outerWidth <= 0 || outerHeight <= 0) return;
    const QSize extra = frameExtra();
    move(left, top);
    resize(outerWidth - extra.width(), outerHeight - extra.height());
    // A chart of another tag at the same size gets no resize event, but must be drawn.
    FormResize();
}

ZoomPlacement TForm3::placement() const {
    const QRect outer = frameGeometry();
    return {outer.top(), outer.left(), outer.width(), outer.height()};
}

void TForm3::FormResize() {
    if (resizing_) return;
    resizing_ = true;
    keepOuterMinimum();
    const QSize client = chartClientSize(tag_, width(), height());
    if (client != size()) resize(client);
    if (hooks_.drawChart) setWindowTitle(hooks_.drawChart(tag_, client.width(), client.height()));
    PaintBox1Paint();
    resizing_ = false;
}

void TForm3::PaintBox1Paint() {
    if (const Canvas* surface = PaintBox1->surface())
        PaintBox1->resize(surface->width(), surface->height());
    PaintBox1->update();
}

// Only a window that was on the screen has a place worth keeping; the shutdown also closes
// one that never was.
void TForm3::FormClose() {
    if (isVisible() && hooks_.closed) hooks_.closed(tag_, placement());
}

void TForm3::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TForm3::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

}  // namespace vqs
