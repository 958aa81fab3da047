#include "app/zoom_icon.h"

#include <QPainter>
#include <QPixmap>

namespace vqs {

namespace {

QPixmap drawMagnifier(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = side / 24.0;
    QPen pen(QColor(0xE8, 0xE8, 0xE8), 2.2 * unit, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    const QPointF centre(10 * unit, 10 * unit);
    painter.drawEllipse(centre, 6.5 * unit, 6.5 * unit);
    painter.drawLine(centre + QPointF(-3.2 * unit, 0), centre + QPointF(3.2 * unit, 0));
    painter.drawLine(centre + QPointF(0, -3.2 * unit), centre + QPointF(0, 3.2 * unit));
    pen.setWidthF(3.4 * unit);
    painter.setPen(pen);
    painter.drawLine(QPointF(15 * unit, 15 * unit), QPointF(21 * unit, 21 * unit));
    return pixmap;
}

}  // namespace

QIcon zoomInIcon() {
    QIcon icon;
    for (const int side : {16, 24, 32, 48}) icon.addPixmap(drawMagnifier(side));
    return icon;
}

}  // namespace vqs
