#include "app/tform2.h"

namespace vqs {

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Testpattern"));
    resize(365, 247);
    setAutoFillBackground(true);
}

}  // namespace vqs
