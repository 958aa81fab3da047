// CPU time of the QSP720: one poll that completes a result (2048 pixels dark-subtracted,
// calibrated, binned to 1 nm and integrated), and measurement ticks of the main window with
// the virtual lab's stand-in QSP720 in the probe positions.

#include "bench/offscreen_window.h"
#include "probes/qsp720_driver.h"
#include "sim/virtual_lab.h"

#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QThread>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

// A library whose every scan is finished: each poll in the Dark range (one scan per result)
// completes a result.
vqs::Qsp720Functions finishedScans() {
    vqs::Qsp720Functions f;
    f.SWDinit = [] { return 1; };
    f.SWDdevcnt = [] { return 1; };
    f.SWDeeRead = [](int16_t, int address, uint8_t* block) {
        std::memset(block, ' ', vqs::kQsp720MemoryBlock);
        const char* text = address == 32    ? "QSP720 #BENCH001"
                           : address == 128 ? "0.67464"
                           : address == 160 ? "-0.00001"
                           : address == 192 ? "340.25"
                                            : "";
        std::memcpy(block, text, std::strlen(text));
        return 1;
    };
    f.SWDrate = [](int) { return 1; };
    f.SWDupdate = [](int, int, int) { return 1; };
    f.SWDxtrate = [](int) { return 1; };
    // The library's own work, a copy of the finished scan, stays out of the figure's way.
    f.SWDscanLV = [](int, float* buffer) {
        static const std::array<float, vqs::kQsp720ScanValues> scan = [] {
            std::array<float, vqs::kQsp720ScanValues> counts{};
            for (int i = 0; i < vqs::kQsp720ScanValues; ++i)
                counts[i] =
                    1000.0f + 20000.0f * std::exp(-0.5f * std::pow((i - 600) / 80.0f, 2.0f));
            return counts;
        }();
        std::copy(scan.begin(), scan.end(), buffer);
        return 0;
    };
    f.SWDclose = [] { return 1; };
    return f;
}

void BM_Qsp720PollCompletingAResult(benchmark::State& state) {
    vqs::ProbeList probes;
    vqs::resetProbeList(probes);
    bool logNext = false;
    vqs::Qsp720Driver driver(probes, logNext, {});
    if (!driver.detect(finishedScans())) return state.SkipWithError("not detected");
    driver.openQsp720Devices();
    probes[0].userRange = 4;
    float X = 0, Y = 0, Z = 0;
    vqs::Tsprad spectrum;
    for (int i = 0; i < 10; ++i) driver.poll(0, X, Y, Z, spectrum);  // settle in Dark
    int results = 0;
    for (auto _ : state) results += driver.poll(0, X, Y, Z, spectrum);
    state.counters["results"] = results;
    benchmark::DoNotOptimize(Y);
}
BENCHMARK(BM_Qsp720PollCompletingAResult)->Unit(benchmark::kMicrosecond);

struct Lab {
    vqs::sim::VirtualLab lab;
    vqs::bench::OffscreenWindow window;
    bool found = false;

    Lab() {
        lab.startQsp720();
        lab.setQsp720TimeScale(100.0);  // a finished scan at almost every tick
        lab.startCs2000(1);
        lab.display().show(QColor(235, 235, 235));
        vqs::TForm1& form = window.open();
        for (int second = 0; second < 8 && form.firstSM->count() < 2; ++second) {
            form.Timer2Timer();
            for (int i = 0; i < 10; ++i) {
                form.Timer1Timer();
                QCoreApplication::processEvents();
            }
        }
        found = form.firstSM->count() == 2;  // the QSP720 (row 0) and the CS-2000
    }
};

// position 1 and 2: rows of the first list, -1 for "none" in the second.
void tickWithProbes(benchmark::State& state, int first, int second) {
    static Lab lab;
    if (!lab.found) return state.SkipWithError("the stand-in QSP720 or the CS-2000 is missing");
    vqs::TForm1& form = *lab.window.windows.form1;
    form.firstSM->setCurrentIndex(first);
    form.scndSM->setCurrentIndex(second + 1);
    for (auto _ : state) {
        form.Timer1Timer();
        state.PauseTiming();
        QCoreApplication::processEvents();
        QThread::usleep(300);
        state.ResumeTiming();
    }
}

void BM_TickWithQsp720InBothPositions(benchmark::State& state) {
    tickWithProbes(state, 0, 0);
}
BENCHMARK(BM_TickWithQsp720InBothPositions)->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_TickWithCs2000AndQsp720(benchmark::State& state) {
    tickWithProbes(state, 1, 0);
}
BENCHMARK(BM_TickWithCs2000AndQsp720)->Iterations(2000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return vqs::bench::runOffscreenBenchmarks(argc, argv);
}
