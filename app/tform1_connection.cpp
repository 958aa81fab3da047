// The connection fields' handlers: the report directory, the COM number of the serial monitor
// link and the network address, each taken over by the monitor link session.

#include "app/connection_fields.h"
#include "app/tform1.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace vqs {

void TForm1::applyReportDir() {
    link_->applyReportDir(editWorkingDir->text());
}

void TForm1::applyComSetting() {
    editComNr->setText(link_->applyComSetting(editComNr->text()));
}

void TForm1::applyNetworkAddress() {
    link_->applyNetworkAddress(editNetworkIP->text());
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
