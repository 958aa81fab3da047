#pragma once
// Every question or message the program puts to the operator goes through one Prompter: the
// windows use the Qt dialogs, tests answer from a script and read the texts they were shown.

#include <QString>

#include <optional>

namespace vqs {

enum class PromptKind { Information, Confirmation, Warning, Error };
enum class PromptButtons { Ok, OkCancel, YesNo };
enum class PromptAnswer { Ok, Cancel, Yes, No };

class Prompter {
public:
    virtual ~Prompter() = default;

    // A modal message box. Closing the box counts as Cancel (or No).
    virtual PromptAnswer message(PromptKind kind, const QString& text, PromptButtons buttons) = 0;

    // The open-file dialog with filters in the form "Name|*.ext|Name|*.*".
    virtual std::optional<QString> openFile(const QString& filter, const QString& startDir) = 0;

    // A directory chooser; empty when cancelled.
    virtual std::optional<QString> chooseDirectory(const QString& caption,
                                                   const QString& startDir) = 0;

    // A one-line input box; a cancelled box returns the default text.
    virtual QString inputBox(const QString& caption, const QString& prompt,
                             const QString& defaultText) = 0;
};

}  // namespace vqs
