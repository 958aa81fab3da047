#pragma once
// A drawing area of the main window: shows the chart surface the refresh draws on, as it is,
// and tells the window of the mouse over it (presentation switches, the chart buttons).

#include <QWidget>

namespace vqs {

class Canvas;

class ChartArea final : public QWidget {
    Q_OBJECT
  public:
    explicit ChartArea(QWidget* parent = nullptr);
    // The surface stays owned by the chart set; the area only reads it while painting.
    void setSurface(const Canvas* surface);
    const Canvas* surface() const { return surface_; }

  signals:
    void entered();
    void doubleClicked();
    // Every press, and again the second press of a double click, which comes as a double-click
    // event of its own.
    void pressed(Qt::MouseButton button);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    const Canvas* surface_ = nullptr;
};

}  // namespace vqs
