// Lumiquest: measures and grades picture monitors with one or two light probes.

#include "app/application.h"
#include "app/qt_prompter.h"
#include "platform/clock.h"

int main(int argc, char** argv) {
    vqs::GuardedApplication app(argc, argv);
    vqs::QtPrompter prompter;
    vqs::SystemClock clock;
    vqs::AppServices services{prompter, clock};
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
