#pragma once
// Keys for the commands an operator gives standing at the monitor under test: each key presses
// its button, from any window of the program (the test-pattern window is often the active one
// there), and the button's hint names its key. A disabled or hidden button ignores its key, as
// it ignores a click; an open message box keeps the keys from its window, as Qt does.

#include <QKeySequence>
#include <QString>

#include <initializer_list>

class QAbstractButton;
class QWidget;

namespace vqs {

struct CommandKey {
    QAbstractButton* button;
    QKeySequence key;
    QString hint;  // for a button without a hint of its own; a hint it has is kept
};

// "Speichert den aktuellen Meßwert (F5)"
QString hintWithKey(const QString& hint, const QKeySequence& key);

void installCommandShortcuts(QWidget& window, std::initializer_list<CommandKey> keys);

}  // namespace vqs
