#pragma once

#include <QWidget>

namespace vqs {

// The dark interface: window RGB 32,32,32, white text, 8 pt sans-serif.
void applyDarkTheme(QWidget& window);

}  // namespace vqs
