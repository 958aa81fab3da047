#pragma once

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QWidget>

namespace vqs {

// The dark interface: window RGB 32,32,32, white text, 8 pt sans-serif.
QPalette darkPalette();
QFont programFont();
void applyDarkTheme(QWidget& window);

// The same for every window the program opens, message boxes and file dialogs included, so none
// of them flashes up in a light palette inside the dark program.
void applyDarkTheme(QApplication& application);

}  // namespace vqs
