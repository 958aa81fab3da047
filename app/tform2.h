#pragma once
// The test-pattern window: its whole client area is the colour of the patch being measured.
// The operator places it on the monitor under test.

#include <QColor>
#include <QWidget>

#include <array>
#include <cstdint>

namespace vqs {

class TForm2 final : public QWidget {
    Q_OBJECT
public:
    // geometry: left, top, width, height kept between runs; a left of 0 applies nothing.
    explicit TForm2(std::array<int32_t, 4>& geometry, QWidget* parent = nullptr);

    void setPatchColour(const QColor& colour);
    QColor patchColour() const { return colour_; }

    // "Show Pattern": shows the window in the colour, at the remembered place.
    void showPatch(const QColor& colour);

signals:
    // What the window now shows, or black when it is hidden.
    void patchShown(const QColor& colour);

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FormClose();

    std::array<int32_t, 4>& geometry_;
    QColor colour_{Qt::white};
};

}  // namespace vqs
