// The demo: Lumiquest against the virtual lab, with a scratch settings store. Without a display
// it takes screenshots of the three windows into the output folder and closes in order.

#include "app/application.h"
#include "app/qt_prompter.h"
#include "data/settings_store.h"
#include "platform/clock.h"
#include "platform/ini_settings_store.h"

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

// Dotted IPv4 text in 127.0.0.0/8.
bool isLoopbackAddress(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4) return false;
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.toInt(&ok);
        if (!ok || value < 0 || value > 255) return false;
    }
    return parts[0].toInt() == 127;
}

// The program's default network address is a broadcast into the LAN; the demo must only ever
// talk to the virtual lab on this machine.
bool keepNetworkOnLoopback(vqs::SettingsStore& store) {
    const QString name = QStringLiteral("NETWORKIP");
    const auto address = store.readText(vqs::settingKey(name), vqs::settingValueName(name));
    if (address && isLoopbackAddress(*address)) return true;
    return store.writeText(vqs::settingKey(name), vqs::settingValueName(name),
                           QStringLiteral("127.0.0.1"));
}

}  // namespace

int main(int argc, char** argv) {
    vqs::GuardedApplication app(argc, argv);
    const QDir output(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("demo-output"));
    QDir().mkpath(output.path());

    vqs::QtPrompter prompter;
    vqs::SystemClock clock;
    // Started by hand, the demo still keeps its settings next to its output, never in the
    // user's own store.
    if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"))
        qputenv("XDG_CONFIG_HOME", QDir(output.filePath(QStringLiteral("config")))
                                       .absolutePath()
                                       .toLocal8Bit());
    vqs::IniSettingsStore store(vqs::defaultSettingsFilePath(vqs::kSettingsBaseKey),
                                vqs::kSettingsBaseKey);
    if (!keepNetworkOnLoopback(store)) {
        std::fprintf(stderr, "demo: cannot set the network address in %s to 127.0.0.1\n",
                     qPrintable(store.filePath()));
        return 1;
    }
    vqs::AppServices services{prompter, clock, store};
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
