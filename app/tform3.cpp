#include "app/tform3.h"

#include "app/dark_theme.h"

namespace vqs {

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Form3"));
    applyDarkTheme(*this);
}

}  // namespace vqs
