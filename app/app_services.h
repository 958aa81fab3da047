#pragma once
// The program's ways out to the platform, handed to the windows so tests can replace them.

#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/settings_store.h"

namespace vqs {

struct AppServices {
    Prompter& prompts;
    Clock& clock;
    SettingsStore& settings;  // the per-user store the settings are kept in between runs
};

}  // namespace vqs
