// Lumiquest: measures and grades picture monitors with one or two light probes.

#include "app/application.h"
#include "app/desktop_start.h"
#include "app/qt_prompter.h"
#include "app/start_trace.h"
#include "data/settings_store.h"
#include "platform/clock.h"
#include "platform/ini_settings_store.h"

int main(int argc, char** argv) {
    vqs::GuardedApplication app(argc, argv);
    vqs::QtPrompter prompter;
    vqs::SystemClock clock;
    vqs::IniSettingsStore store(vqs::defaultSettingsFilePath(vqs::kSettingsBaseKey),
                                vqs::kSettingsBaseKey);
    vqs::AppServices services{prompter, clock, store};
    app.setErrorReporter([&prompter](const QString& text) {
        prompter.message(vqs::PromptKind::Error, text, vqs::PromptButtons::Ok);
    });
    // Before the windows: the start-up sequence takes the current directory as the default
    // report folder.
    if (vqs::startedFromDesktopEntry(QCoreApplication::arguments()))
        vqs::enterDesktopStartFolder(store);

    auto state = std::make_unique<vqs::AppState>();
    vqs::Windows windows = vqs::createWindows(*state, services);
    prompter.setParentWindow(windows.form1.get());
    vqs::closeOnTerminationSignals(*windows.form1);
    windows.form1->show();
    const bool tracing = vqs::traceRequested();
    if (tracing) vqs::traceStart(windows, *state);
    const int exitCode = app.exec();
    if (tracing) vqs::traceEnd(*windows.form1, exitCode);
    return exitCode;
}
