// The demo: Lumiquest against the virtual lab, with a scratch settings store. Without a display
// it takes screenshots of the three windows into the output folder and closes in order.

#include "app/application.h"
#include "app/qt_prompter.h"
#include "data/settings_store.h"
#include "platform/clock.h"
#include "platform/ini_settings_store.h"
#include "sim/answering_prompter.h"
#include "sim/demo_tour.h"
#include "sim/virtual_lab.h"

#include <QDir>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>

namespace {

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

// Reports, and whatever else the program writes into its report folder, go to the demo's output
// folder, never into the folder the demo was started from (a checkout, say). The demo's store is
// its own, so this holds at every start, also over a folder a previous run remembered.
bool keepReportsInOutput(vqs::SettingsStore& store, const QDir& output) {
    const QString name = QStringLiteral("REPORTFILESDIR");
    return QDir::setCurrent(output.absolutePath()) &&
           store.writeText(vqs::settingKey(name), vqs::settingValueName(name),
                           output.absolutePath());
}

// The virtual CS-2000 answers on this port; the search finds it a few seconds after start.
constexpr int kVirtualCs2000Port = 4;
// The virtual serial monitor's port, which the demo's store names as the monitor link.
constexpr int kVirtualSerialMonitorPort = 6;

bool linkToSerialMonitor(vqs::SettingsStore& store) {
    const QString name = QStringLiteral("COMNO");
    return store.writeText(vqs::settingKey(name), vqs::settingValueName(name),
                           QString::number(kVirtualSerialMonitorPort));
}

// Two network monitors on their own loopback addresses and one on the serial link.
void startVirtualMonitors(vqs::sim::VirtualLab& lab) {
    const struct {
        const char* address;
        QByteArray name, serial;
    } network[] = {{"127.0.0.2", "Studio A", "VM-NET-2"}, {"127.0.0.3", "Studio B", "VM-NET-3"}};
    for (const auto& m : network) {
        const QString failed =
            lab.startNetworkMonitor(QString::fromLatin1(m.address), m.name, m.serial);
        if (failed.isEmpty())
            std::printf("demo: virtual network monitor %s on %s\n", m.name.constData(), m.address);
        else
            std::fprintf(stderr, "demo: no network monitor on %s: %s\n", m.address,
                         qPrintable(failed));
    }
    const QString failed = lab.startSerialMonitor(kVirtualSerialMonitorPort);
    if (failed.isEmpty())
        std::printf("demo: virtual serial monitor on %s\n",
                    qPrintable(vqs::comDevicePath(kVirtualSerialMonitorPort)));
    else
        std::fprintf(stderr, "demo: no serial monitor: %s\n", qPrintable(failed));
}

// The stand-in QSP720 library of the lab, found by the program at start-up, with the calibration
// file made for its detector remembered for its serial number as an operator would choose it.
void useStandInQsp720(vqs::sim::VirtualLab& lab, vqs::SettingsStore& store) {
    if (!lab.startQsp720()) {
        std::fprintf(stderr, "demo: the stand-in QSP720 library was not found\n");
        return;
    }
    const QString name = QStringLiteral("PROBE_1_SIM72001_CALFILE");
    store.writeText(vqs::settingKey(name), vqs::settingValueName(name),
                    vqs::sim::VirtualLab::qsp720CalFile());
    std::printf("demo: stand-in QSP720 from %s\n", qgetenv("VQS_PROBE_LIBRARY_DIR").constData());
}

// The stand-in JETI and CS-200 libraries of the lab, each with one instrument in front of the
// display, found by the program at start-up like the QSP720.
void useStandInJetiAndCs200(vqs::sim::VirtualLab& lab) {
    if (lab.startJeti())
        std::printf("demo: stand-in JETI specbos 1211\n");
    else
        std::fprintf(stderr, "demo: the stand-in JETI libraries were not found\n");
    if (lab.startCs200())
        std::printf("demo: stand-in CS-200\n");
    else
        std::fprintf(stderr, "demo: the stand-in CS-200 library was not found\n");
}

}  // namespace

int main(int argc, char** argv) {
    vqs::GuardedApplication app(argc, argv);
    QDir output(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("demo-output"));
    QDir().mkpath(output.path());
    output.makeAbsolute();

    const bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
    vqs::QtPrompter windowPrompter;
    vqs::sim::AnsweringPrompter answeringPrompter(/*echo=*/true);
    vqs::Prompter& prompter =
        offscreen ? static_cast<vqs::Prompter&>(answeringPrompter) : windowPrompter;
    vqs::SystemClock clock;
    // Started by hand, the demo still keeps its settings and its recovery file next to its
    // output, never in the user's own folders.
    if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"))
        qputenv("XDG_CONFIG_HOME",
                QDir(output.filePath(QStringLiteral("config"))).absolutePath().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("XDG_DATA_HOME"))
        qputenv("XDG_DATA_HOME",
                QDir(output.filePath(QStringLiteral("data"))).absolutePath().toLocal8Bit());
    vqs::IniSettingsStore store(vqs::defaultSettingsFilePath(vqs::kSettingsBaseKey),
                                vqs::kSettingsBaseKey);
    if (!keepNetworkOnLoopback(store)) {
        std::fprintf(stderr, "demo: cannot set the network address in %s to 127.0.0.1\n",
                     qPrintable(store.filePath()));
        return 1;
    }
    if (!linkToSerialMonitor(store) || !keepReportsInOutput(store, output)) {
        std::fprintf(stderr, "demo: cannot write the serial link and report folder into %s\n",
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
    useStandInQsp720(lab, store);
    useStandInJetiAndCs200(lab);
    startVirtualMonitors(lab);
    std::printf("demo: virtual CS-2000 on %s\n",
                qPrintable(vqs::comDevicePath(kVirtualCs2000Port)));
    app.setErrorReporter(
        [](const QString& text) { std::fprintf(stderr, "demo: error: %s\n", qPrintable(text)); });

    auto state = std::make_unique<vqs::AppState>();
    vqs::Windows windows = vqs::createWindows(*state, services);
    windowPrompter.setParentWindow(windows.form1.get());
    vqs::closeOnTerminationSignals(*windows.form1);
    windows.form1->show();

    vqs::sim::DemoTour tour(*state, windows, lab, output);
    if (offscreen) tour.start();
    return app.exec();
}
