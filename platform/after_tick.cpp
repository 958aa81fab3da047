#include "platform/after_tick.h"

#include <QTimer>

namespace vqs {

void AfterTick::tell(PromptKind kind, const QString& text) {
    QTimer::singleShot(0, &context_,
                       [this, kind, text] { prompts_.message(kind, text, PromptButtons::Ok); });
}

void AfterTick::ask(PromptKind kind, const QString& text, PromptButtons buttons,
                    std::function<void(PromptAnswer)> answered) {
    QTimer::singleShot(0, &context_, [this, kind, text, buttons, answered = std::move(answered)] {
        answered(prompts_.message(kind, text, buttons));
    });
}

}  // namespace vqs
