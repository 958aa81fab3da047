#pragma once
// VQS_TRACE: when the variable is set, the program tells on standard error what its start found
// (version, platform plugin, font, window icons, build label tooltip, report folder) and, as it
// ends, the steps of its start-up and shutdown in the order they ran. The package's install check
// reads it; it also helps to see why a start on an unfamiliar desktop looks wrong.

#include "app/application.h"

namespace vqs {

bool traceRequested();

void traceStart(const Windows& windows, const AppState& state);

void traceEnd(const TForm1& mainWindow, int exitCode);

}  // namespace vqs
