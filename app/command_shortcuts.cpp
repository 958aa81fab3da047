#include "app/command_shortcuts.h"

#include <QAbstractButton>
#include <QShortcut>

namespace vqs {

QString hintWithKey(const QString& hint, const QKeySequence& key) {
    return hint + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) +
           QLatin1Char(')');
}

void installCommandShortcuts(QWidget& window, std::initializer_list<CommandKey> keys) {
    for (const CommandKey& command : keys) {
        QAbstractButton* button = command.button;
        auto* shortcut = new QShortcut(command.key, &window);
        shortcut->setContext(Qt::ApplicationShortcut);
        QObject::connect(shortcut, &QShortcut::activated, button, [button] {
            if (button->isEnabled() && !button->isHidden()) button->click();
        });
        const QString hint = button->toolTip().isEmpty() ? command.hint : button->toolTip();
        button->setToolTip(hintWithKey(hint, command.key));
    }
}

}  // namespace vqs
