#include "app/connection_fields.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace vqs {

namespace {

constexpr int kEnterKeyCode = 13;

bool isEnter(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

// Focus that goes to another window (a dialog, another program) comes back to the field; only
// a move within the window leaves it.
bool leavesTheField(const QFocusEvent& event) {
    return event.reason() != Qt::ActiveWindowFocusReason && event.reason() != Qt::PopupFocusReason;
}

}  // namespace

ConnectionFields::ConnectionFields(QLineEdit* reportDir, QLineEdit* comNumber,
                                   QLineEdit* networkAddress, Hooks hooks, QObject* parent)
    : QObject(parent), fields_{reportDir, comNumber, networkAddress}, hooks_(std::move(hooks)) {
    for (QLineEdit* field : fields_) field->installEventFilter(this);
}

bool ConnectionFields::eventFilter(QObject* watched, QEvent* event) {
    if (const auto field = fieldOf(watched)) react(*field, event);
    return false;
}

std::optional<ConnectionFields::Field> ConnectionFields::fieldOf(const QObject* watched) const {
    for (int i = 0; i < static_cast<int>(fields_.size()); ++i)
        if (watched == fields_[i]) return static_cast<Field>(i);
    return std::nullopt;
}

void ConnectionFields::react(Field field, QEvent* event) {
    int& lastKey = lastKeyCodes_[static_cast<int>(field)];
    switch (event->type()) {
        case QEvent::KeyPress: {
            const auto& key = static_cast<const QKeyEvent&>(*event);
            if (isEnter(key)) hooks_.apply(field);
            lastKey = isEnter(key) ? kEnterKeyCode : key.key();
            break;
        }
        case QEvent::FocusOut:
            if (!leavesTheField(static_cast<const QFocusEvent&>(*event))) break;
            if (lastKey != kEnterKeyCode) hooks_.apply(field);
            lastKey = 0;
            break;
        case QEvent::MouseButtonDblClick:
            if (field == Field::reportDir) {
                if (!hooks_.chooseReportDir()) break;  // cancelled: nothing changes
            } else {
                hooks_.apply(field);
            }
            lastKey = kEnterKeyCode;
            break;
        default:
            break;
    }
}

}  // namespace vqs
