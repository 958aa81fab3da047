#pragma once
// A drawing area of the main window: shows a prepared chart picture.

#include <QImage>
#include <QWidget>

namespace vqs {

class ChartArea final : public QWidget {
    Q_OBJECT
public:
    explicit ChartArea(QWidget* parent = nullptr);
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

}  // namespace vqs
