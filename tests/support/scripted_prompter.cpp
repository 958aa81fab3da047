#include "tests/support/scripted_prompter.h"

namespace vqs::test {

QStringList ScriptedPrompter::shownTexts() const {
    QStringList texts;
    for (const Shown& s : shown_) texts << s.text;
    return texts;
}

PromptAnswer ScriptedPrompter::message(PromptKind kind, const QString& text,
                                       PromptButtons buttons) {
    shown_.push_back({kind, text, buttons});
    if (!answers_.empty()) {
        const PromptAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    switch (buttons) {
        case PromptButtons::Ok: return PromptAnswer::Ok;
        case PromptButtons::OkCancel: return PromptAnswer::Cancel;
        case PromptButtons::YesNo: return PromptAnswer::No;
    }
    return PromptAnswer::Cancel;
}

std::optional<QString> ScriptedPrompter::openFile(const QString& filter, const QString&) {
    shown_.push_back({PromptKind::Information, QStringLiteral("open file: ") + filter,
                      PromptButtons::OkCancel});
    return takeFile();
}

std::optional<QString> ScriptedPrompter::chooseDirectory(const QString& caption, const QString&) {
    shown_.push_back({PromptKind::Information, QStringLiteral("choose directory: ") + caption,
                      PromptButtons::OkCancel});
    return takeFile();
}

std::optional<QString> ScriptedPrompter::takeFile() {
    if (files_.empty()) return std::nullopt;
    const QString path = files_.front();
    files_.pop_front();
    if (path.isEmpty()) return std::nullopt;
    return path;
}

QString ScriptedPrompter::inputBox(const QString& caption, const QString& prompt,
                                   const QString& defaultText) {
    shown_.push_back({PromptKind::Information, caption + QStringLiteral(": ") + prompt,
                      PromptButtons::OkCancel});
    if (inputs_.empty()) return defaultText;
    QString text = inputs_.front();
    inputs_.pop_front();
    return text;
}

}  // namespace vqs::test
