// CPU time of one measurement tick with the virtual CS-2000 selected and its answers arriving.
// The instrument is emulated in the same process; its work happens between the timed ticks.

#include "app/application.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "sim/answering_prompter.h"
#include "sim/virtual_lab.h"

#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

namespace {


struct Lab {
    QTemporaryDir dir;
    vqs::sim::AnsweringPrompter prompter;
    vqs::FixedClock clock{QDate(2026, 12, 10), QTime(10, 0)};
    std::unique_ptr<vqs::IniSettingsStore> store;
    std::unique_ptr<vqs::AppServices> services;
    vqs::sim::VirtualLab lab;
    vqs::AppState state;
    vqs::Windows windows;

    Lab() {
        qputenv("VQS_SERIAL_DIR", dir.filePath("serial").toLocal8Bit());
        store = std::make_unique<vqs::IniSettingsStore>(dir.filePath("VQS1.0.ini"),
                                                        vqs::kSettingsBaseKey);
        services = std::make_unique<vqs::AppServices>(prompter, clock, *store);
        lab.startCs2000(1);
        lab.display().show(QColor(235, 235, 235));
        windows = vqs::createWindows(state, *services);
        windows.form1->Timer1->stop();
        windows.form1->Timer2->stop();
        // The search finds the instrument on its third housekeeping tick after the first answer.
        for (int second = 0; second < 8 && windows.form1->firstSM->count() == 0; ++second) {
            windows.form1->Timer2Timer();
            for (int i = 0; i < 10; ++i) tick();
        }
    }

    void tick() {
        windows.form1->Timer1Timer();
        QCoreApplication::processEvents();
    }
};

void BM_MeasurementTickWithCs2000(benchmark::State& state) {
    static Lab lab;
    if (lab.windows.form1->firstSM->count() == 0) {
        state.SkipWithError("the virtual CS-2000 was not found");
        return;
    }
    int readings = 0;
    for (auto _ : state) {
        lab.windows.form1->Timer1Timer();
        state.PauseTiming();
        QCoreApplication::processEvents();  // the instrument answers
        QThread::usleep(200);
        readings = lab.lab.cs2000().completedMeasurements();
        state.ResumeTiming();
    }
    state.counters["measurements"] = readings;
}
BENCHMARK(BM_MeasurementTickWithCs2000)->Iterations(2000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
