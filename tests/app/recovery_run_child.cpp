// The program in the middle of a run, to be killed: the main window over the virtual lab's
// CS-2000, started like the program (offscreen, loopback only, its own settings store with
// NETWORKIP 127.0.0.1, pseudo-terminals in its own serial folder), which starts "Capture All"
// as soon as the instrument is found and goes on until it is killed. Everything it writes stays
// in the scratch folder given as its argument.
//   recovery_run_child <scratch folder>

#include "app/application.h"
#include "data/settings_store.h"
#include "platform/clock.h"
#include "platform/ini_settings_store.h"
#include "sim/answering_prompter.h"
#include "sim/virtual_lab.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: recovery_run_child <scratch folder>\n");
        return 2;
    }
    const QString scratch = QString::fromLocal8Bit(argv[1]);
    qputenv("VQS_LOOPBACK_ONLY", "1");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_DATA_HOME", (scratch + "/data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (scratch + "/config").toLocal8Bit());
    qputenv("VQS_SERIAL_DIR", (scratch + "/serial").toLocal8Bit());
    QDir::setCurrent(scratch);  // the report folder

    vqs::GuardedApplication app(argc, argv);
    vqs::sim::AnsweringPrompter prompter;
    vqs::SystemClock clock;
    vqs::IniSettingsStore store(scratch + "/VQS1.0.ini", vqs::kSettingsBaseKey);
    const QString network = QStringLiteral("NETWORKIP");
    if (!store.writeText(vqs::settingKey(network), vqs::settingValueName(network), "127.0.0.1"))
        return 3;
    vqs::AppServices services{prompter, clock, store};

    vqs::sim::VirtualLab lab;
    if (!lab.startCs2000(3)) return 4;
    auto state = std::make_unique<vqs::AppState>();
    vqs::Windows windows = vqs::createWindows(*state, services);
    vqs::TForm1& form = *windows.form1;
    QObject::connect(windows.form2.get(), &vqs::TForm2::patchShown,
                     [&lab](const QColor& c) { lab.display().show(c); });
    form.show();

    QTimer startWhenFound;
    QObject::connect(&startWhenFound, &QTimer::timeout, [&] {
        if (form.firstSM->count() == 0) return;
        startWhenFound.stop();
        form.selectSlot(vqs::kFirstPrimarySlot);
        form.Button2Click();
        form.editDevsnid->setText("VM-KILL");
        form.editDevname->setText(QString::fromUtf8("Prüfmonitor Süd"));
        form.storeAllClick();
        std::printf("run started\n");
        std::fflush(stdout);
    });
    startWhenFound.start(100);
    QTimer::singleShot(180000, &app, &QCoreApplication::quit);  // never outlive a lost parent
    return app.exec();
}
