#include "app/qt_prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace vqs {

namespace {

QMessageBox::Icon iconOf(PromptKind kind) {
    switch (kind) {
        case PromptKind::Information: return QMessageBox::Information;
        case PromptKind::Confirmation: return QMessageBox::Question;
        case PromptKind::Warning: return QMessageBox::Warning;
        case PromptKind::Error: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsOf(PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::Ok: return QMessageBox::Ok;
        case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
        case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    }
    return QMessageBox::Ok;
}

PromptAnswer answerOf(int button, PromptButtons buttons) {
    switch (button) {
        case QMessageBox::Ok: return PromptAnswer::Ok;
        case QMessageBox::Yes: return PromptAnswer::Yes;
        case QMessageBox::No: return PromptAnswer::No;
        default: return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Cancel;
    }
}

}  // namespace

PromptAnswer QtPrompter::message(PromptKind kind, const QString& text, PromptButtons buttons) {
    QMessageBox box(iconOf(kind), QApplication::applicationName(), text, buttonsOf(buttons),
                    parent_);
    return answerOf(box.exec(), buttons);
}

std::optional<QString> QtPrompter::openFile(const QString& filter, const QString& startDir) {
    const QString path =
        QFileDialog::getOpenFileName(parent_, QString(), startDir, toQtFileFilter(filter));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<QString> QtPrompter::chooseDirectory(const QString& caption,
                                                   const QString& startDir) {
    const QString path = QFileDialog::getExistingDirectory(parent_, caption, startDir);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

QString QtPrompter::inputBox(const QString& caption, const QString& prompt,
                             const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : defaultText;
}

QString toQtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        entries << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
    return entries.join(QStringLiteral(";;"));
}

}  // namespace vqs
