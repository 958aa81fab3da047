#include "app/eliding_combo_box.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QToolTip>

namespace vqs {

ElidingComboBox::ElidingComboBox(QWidget* parent) : QComboBox(parent) {}

int ElidingComboBox::textWidth() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()
        ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this)
        .width();
}

// The last word (the serial number) stays whole; what comes before it is cut short.
QString ElidingComboBox::shownText() const {
    const QString text = currentText();
    const QFontMetrics metrics = fontMetrics();
    const int width = textWidth();
    if (metrics.horizontalAdvance(text) <= width) return text;
    const QString tail = text.mid(text.lastIndexOf(QLatin1Char(' ')) + 1);
    const int headWidth = width - metrics.horizontalAdvance(tail);
    if (tail.size() == text.size() || headWidth <= metrics.horizontalAdvance(QChar(0x2026)))
        return metrics.elidedText(text, Qt::ElideLeft, width);
    return metrics.elidedText(text.left(text.size() - tail.size()), Qt::ElideRight, headWidth) +
           tail;
}

bool ElidingComboBox::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QComboBox::event(event);
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), currentText(), this);
    return true;
}

void ElidingComboBox::showPopup() {
    const int scrollBar = view()->verticalScrollBar()->sizeHint().width();
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + scrollBar + 2 * view()->frameWidth());
    QComboBox::showPopup();
}

void ElidingComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = shownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

}  // namespace vqs
