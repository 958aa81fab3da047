#pragma once
// A Prompter for tests: answers from a script and records everything it was shown.

#include "platform/prompter.h"

#include <QStringList>

#include <deque>

namespace vqs::test {

class ScriptedPrompter final : public Prompter {
public:
    struct Shown {
        PromptKind kind;
        QString text;
        PromptButtons buttons;
    };

    // Answers for the coming message boxes, in order; an unscripted box is closed (Cancel/No).
    void answerNext(PromptAnswer answer) { answers_.push_back(answer); }
    // A path for the coming file or directory dialog; an empty text cancels it.
    void answerNextFile(QString path) { files_.push_back(std::move(path)); }
    void answerNextInput(QString text) { inputs_.push_back(std::move(text)); }

    const std::vector<Shown>& shown() const { return shown_; }
    QStringList shownTexts() const;

    PromptAnswer message(PromptKind kind, const QString& text, PromptButtons buttons) override;
    std::optional<QString> openFile(const QString& filter, const QString& startDir) override;
    std::optional<QString> chooseDirectory(const QString& caption,
                                           const QString& startDir) override;
    QString inputBox(const QString& caption, const QString& prompt,
                     const QString& defaultText) override;

private:
    std::deque<PromptAnswer> answers_;
    std::deque<QString> files_;
    std::optional<QString> takeFile();
    std::deque<QString> inputs_;
    std::vector<Shown> shown_;
};

}  // namespace vqs::test
