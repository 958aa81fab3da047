// Reading a report directory of 1000 report files into the monitor list and the device grid,
// as start-up and every save do.

#include "bench/offscreen_window.h"
#include "data/report_file.h"

#include <benchmark/benchmark.h>


namespace {

constexpr int kReports = 1000;

struct Folder {
    vqs::bench::OffscreenWindow window;

    Folder() {
        for (int i = 0; i < kReports; ++i) {
            vqs::Tcaldaten report;
            report.devsnid = QStringLiteral("SN%1").arg((i * 7919) % kReports, 4, 10, QChar('0'));
            report.devname = QStringLiteral("Monitor %1").arg(i % 37);
            report.repdate = QStringLiteral("10.12.2026");
            for (int slot = 1; slot < vqs::kPatchSlots; ++slot)
                report.xyz[slot] = {slot * 1.1f, slot * 1.2f, slot * 1.3f};
            vqs::writeReportFile(window.dir.path(), report, window.state.targets);
        }
        window.open();
    }
};

void BM_ScanAndFillDeviceGrid(benchmark::State& state) {
    static Folder folder;
    for (auto _ : state) {
        vqs::removeMonitors(*folder.window.state.monitors, vqs::kSourceFile);
        vqs::scanReportDir(folder.window.dir.path(), *folder.window.state.monitors, folder.window.state.targets);
        folder.window.windows.form1->fillDeviceGrid();
    }
    state.counters["records"] = vqs::usedMonitorCount(*folder.window.state.monitors);
}
BENCHMARK(BM_ScanAndFillDeviceGrid)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) { return vqs::bench::runOffscreenBenchmarks(argc, argv); }
