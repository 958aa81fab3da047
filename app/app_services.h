#pragma once
// The program's ways out to the platform, handed to the windows so tests can replace them.

#include "platform/clock.h"
#include "platform/prompter.h"

namespace vqs {

struct AppServices {
    Prompter& prompts;
    Clock& clock;
};

}  // namespace vqs
