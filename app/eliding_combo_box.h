#pragma once
// A drop-down list for entries that end in what tells them apart, such as a probe's serial
// number: a text too long for the closed box is cut short before its last word; the open list is
// as wide as its longest entry; the whole text is the tool tip.

#include <QComboBox>

namespace vqs {

class ElidingComboBox final : public QComboBox {
    Q_OBJECT
  public:
    explicit ElidingComboBox(QWidget* parent = nullptr);

    // What the closed box shows of the current entry.
    QString shownText() const;
    void showPopup() override;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    int textWidth() const;
};

}  // namespace vqs
