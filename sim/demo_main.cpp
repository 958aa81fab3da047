// The demo: Lumiquest against the virtual lab, with a scratch settings store. Without a display
// it takes screenshots of the three windows into the output folder and closes in order.

#include "app/application.h"
#include "app/qt_prompter.h"
#include "platform/clock.h"

#include <QDir>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>

namespace {

void saveScreenshot(QWidget& window, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    if (window.grab().save(path))
        std::printf("demo: wrote %s\n", qPrintable(path));
    else
        std::fprintf(stderr, "demo: could not write %s\n", qPrintable(path));
}

}  // namespace

int main(int argc, char** argv) {
    vqs::GuardedApplication app(argc, argv);
    const QDir output(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("demo-output"));
    QDir().mkpath(output.path());

    vqs::QtPrompter prompter;
    vqs::SystemClock clock;
    vqs::AppServices services{prompter, clock};
    app.setErrorReporter([](const QString& text) {
        std::fprintf(stderr, "demo: error: %s\n", qPrintable(text));
    });

    auto state = std::make_unique<vqs::AppState>();
    vqs::Windows windows = vqs::createWindows(*state, services);
    prompter.setParentWindow(windows.form1.get());
    vqs::closeOnTerminationSignals(*windows.form1);
    windows.form1->show();

    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        QTimer::singleShot(3000, windows.form1.get(), [&] {
            saveScreenshot(*windows.form1, output, QStringLiteral("main-window.png"));
            saveScreenshot(*windows.form3, output, QStringLiteral("zoom-window.png"));
            saveScreenshot(*windows.form2, output, QStringLiteral("test-pattern-window.png"));
            windows.form1->close();
            std::printf("demo: closed in order: %s\n",
                        qPrintable(windows.form1->stepTrace().join(QStringLiteral(", "))));
            QApplication::quit();
        });
    }
    return app.exec();
}
