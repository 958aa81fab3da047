#include "app/chart_area.h"

#include <QPainter>

namespace vqs {

ChartArea::ChartArea(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartArea::setPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void ChartArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (picture_.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    painter.drawImage(0, 0, picture_);
}

}  // namespace vqs
