#pragma once
// The test-pattern window: shows the selected patch full-size in front of the probe.

#include <QWidget>

namespace vqs {

class TForm2 final : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
};

}  // namespace vqs
