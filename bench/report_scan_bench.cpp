// Reading a report directory of 1000 report files into the monitor list and the device grid,
// as start-up and every save do.

#include "app/application.h"
#include "data/report_file.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "sim/answering_prompter.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <QTimer>

namespace {

constexpr int kReports = 1000;


struct Folder {
    QTemporaryDir dir;
    vqs::sim::AnsweringPrompter prompter;
    vqs::FixedClock clock{QDate(2026, 12, 10), QTime(10, 0)};
    std::unique_ptr<vqs::IniSettingsStore> store;
    std::unique_ptr<vqs::AppServices> services;
    vqs::AppState state;
    vqs::Windows windows;

    Folder() {
        for (int i = 0; i < kReports; ++i) {
            vqs::Tcaldaten report;
            report.devsnid = QStringLiteral("SN%1").arg((i * 7919) % kReports, 4, 10, QChar('0'));
            report.devname = QStringLiteral("Monitor %1").arg(i % 37);
            report.repdate = QStringLiteral("10.12.2026");
            for (int slot = 1; slot < vqs::kPatchSlots; ++slot)
                report.xyz[slot] = {slot * 1.1f, slot * 1.2f, slot * 1.3f};
            vqs::writeReportFile(dir.path(), report, state.targets);
        }
        store = std::make_unique<vqs::IniSettingsStore>(dir.filePath("store.ini"),
                                                        vqs::kSettingsBaseKey);
        services = std::make_unique<vqs::AppServices>(prompter, clock, *store);
        windows = vqs::createWindows(state, *services);
        windows.form1->Timer1->stop();
        windows.form1->Timer2->stop();
    }
};

void BM_ScanAndFillDeviceGrid(benchmark::State& state) {
    static Folder folder;
    for (auto _ : state) {
        vqs::removeMonitors(*folder.state.monitors, vqs::kSourceFile);
        vqs::scanReportDir(folder.dir.path(), *folder.state.monitors, folder.state.targets);
        folder.windows.form1->fillDeviceGrid();
    }
    state.counters["records"] = vqs::usedMonitorCount(*folder.state.monitors);
}
BENCHMARK(BM_ScanAndFillDeviceGrid)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
