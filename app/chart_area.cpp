#include "app/chart_area.h"

#include "charts/canvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

namespace vqs {

ChartArea::ChartArea(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartArea::setSurface(const Canvas* surface) {
    surface_ = surface;
    update();
}

void ChartArea::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect dirty = event->rect();
    if (surface_ == nullptr || surface_->image().isNull()) {
        painter.fillRect(dirty, Qt::black);
        return;
    }
    const QImage& image = surface_->image();
    painter.drawImage(dirty.topLeft(), image, dirty);
    for (const QRect& outside : QRegion(dirty).subtracted(image.rect()))
        painter.fillRect(outside, Qt::black);
}

void ChartArea::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    emit entered();
}

void ChartArea::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->button());
}

// The double click first, then the press it also is, as the window's handlers expect.
void ChartArea::mouseDoubleClickEvent(QMouseEvent* event) {
    emit doubleClicked();
    emit pressed(event->button());
}

}  // namespace vqs
