#pragma once
// The chart zoom window: one chart of the main window enlarged to any size. The main window
// says which chart (the tag) and draws it; this window keeps its size within the rules of the
// chart and tells the main window where it stood when it closes.

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

namespace vqs {

class ChartArea;

// Top, left, outer width and outer height of the window, as the settings keep it per tag.
using ZoomPlacement = std::array<int32_t, 4>;

class TForm3 final : public QWidget {
    Q_OBJECT
  public:
    struct Hooks {
        // Draws the chart of a tag to fill a client area of width x height; returns the caption.
        std::function<QString(int tag, int width, int height)> drawChart;
        // The window closed standing at `placement`.
        std::function<void(int tag, const ZoomPlacement& placement)> closed;
    };

    explicit TForm3(QWidget* parent = nullptr);
    void setHooks(Hooks hooks) { hooks_ = std::move(hooks); }

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // Moves and sizes the window to a stored placement (nothing for an empty one) and draws
    // the chart at the resulting size, also when the size did not change.
    void place(const ZoomPlacement& placement);
    ZoomPlacement placement() const;

    // Whether the window may take an outer size: at least 200 wide and 100 high.
    static bool FormCanResize(int outerWidth, int outerHeight);
    void FormResize();
    void PaintBox1Paint();
    void FormClose();

    ChartArea* PaintBox1 = nullptr;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QSize frameExtra() const;
    void keepOuterMinimum();

    Hooks hooks_;
    int tag_ = 0;
    bool resizing_ = false;
};

}  // namespace vqs
