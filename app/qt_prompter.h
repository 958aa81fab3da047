#pragma once
// Prompts shown as the real Qt dialogs.

#include "platform/prompter.h"

class QWidget;

namespace vqs {

class QtPrompter final : public Prompter {
public:
    void setParentWindow(QWidget* parent) { parent_ = parent; }

    PromptAnswer message(PromptKind kind, const QString& text, PromptButtons buttons) override;
    std::optional<QString> openFile(const QString& filter, const QString& startDir) override;
    std::optional<QString> chooseDirectory(const QString& caption,
                                           const QString& startDir) override;
    QString inputBox(const QString& caption, const QString& prompt,
                     const QString& defaultText) override;

private:
    QWidget* parent_ = nullptr;
};

// "Name|*.ext|Name|*.*" as Qt's file dialog filter: "Name (*.ext);;Name (*.*)".
QString toQtFileFilter(const QString& filter);

}  // namespace vqs
