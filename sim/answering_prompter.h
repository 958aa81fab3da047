#pragma once
// Where nobody sits at the screen (the offscreen demo, benchmarks) questions are answered yes
// and file dialogs cancelled; the texts can be echoed so a log shows what was asked.

#include "platform/prompter.h"

#include <cstdio>

namespace vqs::sim {

class AnsweringPrompter final : public Prompter {
public:
    explicit AnsweringPrompter(bool echo = false) : echo_(echo) {}

    PromptAnswer message(PromptKind, const QString& text, PromptButtons buttons) override {
        if (echo_) std::printf("demo: asked \"%s\", answering yes\n", qPrintable(text));
        return buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    std::optional<QString> openFile(const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseDirectory(const QString&, const QString&) override { return {}; }
    QString inputBox(const QString&, const QString&, const QString& text) override { return text; }

private:
    bool echo_;
};

}  // namespace vqs::sim
