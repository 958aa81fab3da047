#pragma once
// A drawing area of the main window: shows the chart surface the refresh draws on, as it is.

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

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const Canvas* surface_ = nullptr;
};

}  // namespace vqs
