#pragma once
// Messages and questions that arise inside the measurement tick, or inside a callback of a
// connection or a timer, reach the operator once that call is over: a box opened inside the
// tick would hold the tick, and with it the readings, a run and its cancel button, until
// someone clicks. The timers go on while the box is open.

#include "platform/prompter.h"

#include <QObject>
#include <QString>

#include <functional>

namespace vqs {

class AfterTick {
public:
    explicit AfterTick(Prompter& prompts) : prompts_(prompts) {}

    // A message with an OK button.
    void tell(PromptKind kind, const QString& text);
    // A question; the answer goes to the callback, which runs only while this object lives.
    void ask(PromptKind kind, const QString& text, PromptButtons buttons,
             std::function<void(PromptAnswer)> answered);

private:
    Prompter& prompts_;
    QObject context_;  // pending messages go with it when their owner goes
};

}  // namespace vqs
