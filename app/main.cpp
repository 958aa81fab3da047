// Lumiquest: measures and grades picture monitors with one or two light probes.

#include "app/application.h"
#include "app/qt_prompter.h"
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

    auto state = std::make_unique<vqs::AppState>();
    vqs::Windows windows = vqs::createWindows(*state, services);
    prompter.setParentWindow(windows.form1.get());
    vqs::closeOnTerminationSignals(*windows.form1);
    windows.form1->show();
    return app.exec();
}
