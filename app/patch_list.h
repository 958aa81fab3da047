#pragma once
// The patch list: one entry per patch slot with a colour swatch, 11 pixels high.

#include <QListWidget>

namespace vqs {

class PatchListWidget final : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kItemHeight = 11;

    explicit PatchListWidget(QWidget* parent = nullptr);

    void addPatch(const QString& text, const QColor& swatch);
    int selectedSlot() const { return currentRow(); }
    // Selects without reporting it as the user's choice.
    void selectSlot(int slot);

signals:
    void userSelected();  // a click or a key moved (or confirmed) the selection
    void entered();       // keyboard focus came in
    void exited();        // keyboard focus went out

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // The wheel belongs to the main window, which moves the selection while the list has the focus.
    void wheelEvent(QWheelEvent* event) override;
};

}  // namespace vqs
