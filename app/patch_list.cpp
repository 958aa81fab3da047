#include "app/patch_list.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace vqs {

namespace {

constexpr int kSwatchWidth = 14;

class SwatchDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), PatchListWidget::kItemHeight};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect row = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(row, selected ? QColor(0, 120, 215) : option.palette.base().color());
        const QRect swatch(row.left() + 1, row.top() + 1, kSwatchWidth, row.height() - 2);
        painter->fillRect(swatch, index.data(Qt::DecorationRole).value<QColor>());
        painter->setPen(Qt::white);
        painter->setFont(option.font);
        const QRect textRect = row.adjusted(kSwatchWidth + 4, 0, 0, 0);
        // A text longer than the row ends in an ellipsis; the whole text is the tool tip.
        const QString text = QFontMetrics(option.font)
                                 .elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                             textRect.width());
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
    }

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view);
        return true;
    }
};

}  // namespace

PatchListWidget::PatchListWidget(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new SwatchDelegate(this));
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    QFont small = font();
    small.setPixelSize(9);
    setFont(small);
}

void PatchListWidget::addPatch(const QString& text, const QColor& swatch) {
    auto* item = new QListWidgetItem(text, this);
    item->setData(Qt::DecorationRole, swatch);
}

void PatchListWidget::selectSlot(int slot) {
    setCurrentRow(slot);
}

void PatchListWidget::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()))
        emit userSelected();
}

void PatchListWidget::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before) emit userSelected();
}

void PatchListWidget::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    emit entered();
}

void PatchListWidget::focusOutEvent(QFocusEvent* event) {
    QListWidget::focusOutEvent(event);
    emit exited();
}

void PatchListWidget::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

}  // namespace vqs
