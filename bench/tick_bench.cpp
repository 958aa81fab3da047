// CPU time of one measurement tick with the virtual CS-2000 selected and its answers arriving.
// The instrument is emulated in the same process; its work happens between the timed ticks.

#include "bench/offscreen_window.h"
#include "sim/virtual_lab.h"

#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QThread>

namespace {

struct Lab {
    vqs::bench::OffscreenWindow window;
    vqs::sim::VirtualLab lab;

    Lab() {
        lab.startCs2000(1);
        lab.display().show(QColor(235, 235, 235));
        vqs::TForm1& form = window.open();
        // The search finds the instrument on its third housekeeping tick after the first answer.
        for (int second = 0; second < 8 && form.firstSM->count() == 0; ++second) {
            form.Timer2Timer();
            for (int i = 0; i < 10; ++i) {
                form.Timer1Timer();
                QCoreApplication::processEvents();
            }
        }
    }
};

void BM_MeasurementTickWithCs2000(benchmark::State& state) {
    static Lab lab;
    if (lab.window.windows.form1->firstSM->count() == 0) {
        state.SkipWithError("the virtual CS-2000 was not found");
        return;
    }
    int readings = 0;
    for (auto _ : state) {
        lab.window.windows.form1->Timer1Timer();
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

int main(int argc, char** argv) { return vqs::bench::runOffscreenBenchmarks(argc, argv); }
