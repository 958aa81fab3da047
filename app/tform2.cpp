#include "app/tform2.h"

#include <QCloseEvent>

namespace vqs {

TForm2::TForm2(std::array<int32_t, 4>& geometry, QWidget* parent)
    : QWidget(parent, Qt::Window), geometry_(geometry) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Testpattern"));
    resize(365, 247);
    setAutoFillBackground(true);
    setPatchColour(colour_);
}

void TForm2::setPatchColour(const QColor& colour) {
    colour_ = colour;
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    if (isVisible()) emit patchShown(colour);
}

void TForm2::showPatch(const QColor& colour) {
    show();
    setPatchColour(colour);
    const auto [left, top, width, height] = geometry_;
    if (left == 0) return;
    // The remembered size is the outer one; the frame is added back around the client area.
    const QSize frame = frameGeometry().size() - geometry().size();
    move(left, top);
    resize(std::max(1, width - frame.width()), std::max(1, height - frame.height()));
}

void TForm2::FormClose() {
    const QRect outer = frameGeometry();
    geometry_ = {outer.left(), outer.top(), outer.width(), outer.height()};
}

void TForm2::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TForm2::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    emit patchShown(Qt::black);
}

}  // namespace vqs
