// The demo: Lumiquest against the virtual lab, with a scratch settings store. Without a display
// it takes screenshots of the three windows into the output folder and closes in order.

#include "app/application.h"
#include "app/qt_prompter.h"
#include "data/settings_store.h"
#include "platform/clock.h"
#include "platform/ini_settings_store.h"
#include "sim/virtual_lab.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
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

// The virtual CS-2000 answers on this port; the search finds it a few seconds after start.
constexpr int kVirtualCs2000Port = 4;

QString readout(const vqs::TForm1& form, const char* suffix) {
    QStringList values;
    for (const char* name : {"_XYZ_Xvalue", "_XYZ_Yvalue", "_XYZ_Zvalue", "_xyCCT_xvalue",
                             "_xyCCT_yvalue", "_xyCCT_CCTvalue"})
        values << form.findChild<QLabel*>(QString::fromLatin1(name) + suffix)->text();
    return values.join(QStringLiteral(" "));
}

// Without a display: let the virtual CS-2000 be found and measure a grey and a colour, then
// take the screenshots and close in order.
void runOffscreenTour(vqs::Windows& windows, vqs::sim::VirtualLab& lab, const QDir& output) {
    vqs::TForm1& form = *windows.form1;
    QTimer::singleShot(9000, &form, [&form, &lab] {
        std::printf("demo: probe 1 on Grey19: %s\n", qPrintable(readout(form, "")));
        lab.display().show(QColor(201, 92, 90));
    });
    QTimer::singleShot(12000, &form, [&windows, &form, output] {
        std::printf("demo: probe 1 on EBU8: %s\n", qPrintable(readout(form, "")));
        saveScreenshot(form, output, QStringLiteral("main-window.png"));
        saveScreenshot(*windows.form3, output, QStringLiteral("zoom-window.png"));
        saveScreenshot(*windows.form2, output, QStringLiteral("test-pattern-window.png"));
        form.close();
        std::printf("demo: closed in order: %s\n",
                    qPrintable(form.stepTrace().join(QStringLiteral(", "))));
        QApplication::quit();
    });
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

    if (qEnvironmentVariableIsEmpty("VQS_SERIAL_DIR"))
        qputenv("VQS_SERIAL_DIR",
                QDir(output.filePath(QStringLiteral("serial"))).absolutePath().toLocal8Bit());
    vqs::sim::VirtualLab lab;
    if (!lab.startCs2000(kVirtualCs2000Port))
        std::fprintf(stderr, "demo: the virtual CS-2000 could not start\n");
    lab.display().show(QColor(235, 235, 235));
    std::printf("demo: virtual CS-2000 on %s\n",
                qPrintable(vqs::comDevicePath(kVirtualCs2000Port)));
    app.setErrorReporter([](const QString& text) {
        std::fprintf(stderr, "demo: error: %s\n", qPrintable(text));
    });

    auto state = std::make_unique<vqs::AppState>();
    vqs::Windows windows = vqs::createWindows(*state, services);
    prompter.setParentWindow(windows.form1.get());
    vqs::closeOnTerminationSignals(*windows.form1);
    windows.form1->show();

    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        runOffscreenTour(windows, lab, output);
    return app.exec();
}
