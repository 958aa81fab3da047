// The three connection fields of the main window: the report directory, the COM number of the
// serial monitor link and the network address. A value is taken over by Enter, by leaving the
// field or by a double-click; leaving right after Enter or a double-click does not take it over
// a second time.

#include "app/tform1.h"

#include "monitor_link/com_setting.h"

#include <QDir>
#include <QFileInfo>
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

void TForm1::watchConnectionFields() {
    for (QLineEdit* field : {editWorkingDir, editComNr, editNetworkIP})
        field->installEventFilter(this);
}

std::optional<TForm1::ConnectionField> TForm1::connectionField(QObject* watched) {
    if (watched == editWorkingDir) return ConnectionField::reportDir;
    if (watched == editComNr) return ConnectionField::comNumber;
    if (watched == editNetworkIP) return ConnectionField::networkAddress;
    return std::nullopt;
}

void TForm1::connectionFieldEvent(ConnectionField field, QEvent* event) {
    int& lastKey = lastKeyCodes_[static_cast<int>(field)];
    switch (event->type()) {
        case QEvent::KeyPress: {
            const auto& key = static_cast<const QKeyEvent&>(*event);
            if (isEnter(key)) applyConnectionField(field);
            lastKey = isEnter(key) ? kEnterKeyCode : key.key();
            break;
        }
        case QEvent::FocusOut:
            if (!leavesTheField(static_cast<const QFocusEvent&>(*event))) break;
            if (lastKey != kEnterKeyCode) applyConnectionField(field);
            lastKey = 0;
            break;
        case QEvent::MouseButtonDblClick:
            if (field == ConnectionField::reportDir) {
                if (!chooseReportDir()) break;  // cancelled: nothing changes
            } else {
                applyConnectionField(field);
            }
            lastKey = kEnterKeyCode;
            break;
        default:
            break;
    }
}

void TForm1::applyConnectionField(ConnectionField field) {
    switch (field) {
        case ConnectionField::reportDir:
            return applyReportDir();
        case ConnectionField::comNumber:
            return applyComSetting();
        case ConnectionField::networkAddress:
            return applyNetworkAddress();
    }
}

void TForm1::applyReportDir() {
    state_.settings.reportDir = editWorkingDir->text();
    removeMonitors(*state_.monitors, kSourceFile);
    fillDeviceGrid();
    // The new folder is scanned on the next one-second tick.
    state_.deviceListReloadPending = true;
}

void TForm1::applyComSetting() {
    removeMonitors(*state_.monitors, kSourceSerial);
    fillDeviceGrid();
    takeOverComNumber();
}

void TForm1::applyNetworkAddress() {
    state_.settings.networkIp = editNetworkIP->text();
    removeMonitors(*state_.monitors, kSourceNetwork);
    fillDeviceGrid();
}

void TForm1::takeOverComNumber() {
    trace("takeOverComNumber");
    state_.settings.comSetting =
        vqs::takeOverComNumber(state_.monitorLink->linkPort, editComNr->text());
    editComNr->setText(state_.settings.comSetting);
}

// The directory dialog; a folder typed there that does not exist yet is created after asking.
bool TForm1::chooseReportDir() {
    const auto chosen = services_.prompts.chooseDirectory(QString(), QString());
    if (!chosen || chosen->isEmpty()) return false;
    const QString folder = QDir::cleanPath(*chosen);
    if (!QFileInfo(folder).isDir()) {
        const QString question =
            QStringLiteral("The directory \"%1\" does not exist. Do you want to create it?")
                .arg(QDir::toNativeSeparators(folder));
        if (services_.prompts.message(PromptKind::Confirmation, question, PromptButtons::YesNo) !=
            PromptAnswer::Yes)
            return false;
        if (!QDir().mkpath(folder)) {
            services_.prompts.message(PromptKind::Error,
                                      QStringLiteral("The directory \"%1\" could not be created.")
                                          .arg(QDir::toNativeSeparators(folder)),
                                      PromptButtons::Ok);
            return false;
        }
    }
    editWorkingDir->setText(folder);
    applyReportDir();
    return true;
}

}  // namespace vqs
