#pragma once
// The chart zoom window: one chart enlarged.

#include <QWidget>

namespace vqs {

class TForm3 final : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
};

}  // namespace vqs
