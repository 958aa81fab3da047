// CPU time of the chart refresh that runs on every reading, alone and inside a whole
// measurement tick with two spectral probes delivering, live and on "Stop (Show All)".

#include "bench/offscreen_window.h"
#include "charts/chart_refresh.h"
#include "charts/chromaticity_locus.h"
#include "colour/colour_conversion.h"

#include <benchmark/benchmark.h>

#include <QComboBox>

#include <cmath>

namespace {

using vqs::kStopSlot;

// A spectrometer reading of about D65 with a smooth spectrum; the second one a little off.
struct SteadySpectrometer final : vqs::ProbeDriver {
    float offset = 0.0f;
    bool open() override { return false; }
    int poll(int, float& X, float& Y, float& Z, vqs::Tsprad& spectrum) override {
        X = 95.047f + offset;
        Y = 100.0f;
        Z = 108.883f - offset;
        spectrum.firstWavelength = 380;
        spectrum.lastWavelength = 780;
        spectrum.count = 401;
        // Smooth, with a little ripple, as a display's spectrum looks to a spectrometer.
        for (int i = 0; i < 401; ++i)
            spectrum.values[i] = 1.0f + 0.5f * std::sin(i / 40.0f) + 0.02f * ((i * 7) % 5);
        spectrum.label = QStringLiteral("OK");
        return 1;
    }
    void release(int) override {}
    void close() override {}
};

vqs::XyzTriple fromUv(float up, float vp, float Y) {
    const vqs::XyPoint p = vqs::uvToXy(up, vp);
    return {p.x / p.y * Y, Y, (1.0f - p.x - p.y) / p.y * Y};
}

// Every slot captured, as after Capture All and Capture DICOM.
void captureEverything(vqs::Tcaldaten& report, const vqs::PatchCatalogue& targets) {
    for (int slot = 1; slot <= vqs::kLastSlot; ++slot) {
        if (slot == kStopSlot) continue;
        const vqs::Ttarget& t = targets[slot];
        if (t.targetInXy) {
            const float Y = 100.0f * t.targetY;
            report.xyz[slot] = {t.targetA / t.targetB * Y, Y,
                                (1.0f - t.targetA - t.targetB) / t.targetB * Y};
        } else {
            report.xyz[slot] = fromUv(t.targetA + 0.001f, t.targetB - 0.001f, t.targetY);
        }
    }
    for (int step = 0; step <= 20; ++step) {  // a grey ramp for the gamma views
        const float level = static_cast<float>(20 - step) / 20.0f;
        report.xyz[4 + step].Y = 0.3f + 200.0f * std::pow(level, 2.35f);
        report.xyz[41 + step].Y = 0.3f + 200.0f * std::pow(level, 2.35f);
    }
}

// The chart set alone, on the inputs a tick gives it.
void BM_RefreshCharts(benchmark::State& state) {
    const int slot = static_cast<int>(state.range(0));
    const int view = static_cast<int>(state.range(1));
    const vqs::PatchCatalogue targets = vqs::makePatchCatalogue();
    vqs::Tcaldaten report;
    captureEverything(report, targets);
    const QString gamma = QStringLiteral("2.35");
    vqs::ChartSet set;
    vqs::createCharts(set, {report, targets, gamma});
    SteadySpectrometer first;
    SteadySpectrometer second;
    second.offset = 2.0f;
    vqs::Tprobevals p1;
    vqs::Tprobevals p2;
    first.poll(0, p1.X, p1.Y, p1.Z, p1.spectrum);
    second.poll(1, p2.X, p2.Y, p2.Z, p2.spectrum);
    vqs::convertReading(p1);
    vqs::convertReading(p2);
    p2.shown = 2;
    int rgbView = 0;
    const vqs::ChartInputs inputs{p1, p2, {report, targets, gamma}, false, view, slot};
    for (auto _ : state) {
        vqs::refreshCharts(set, inputs, rgbView);
        benchmark::DoNotOptimize(set.areas.cieGraph.image().constBits());
    }
}
BENCHMARK(BM_RefreshCharts)
    ->ArgNames({"slot", "view"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({kStopSlot, 0})
    ->Args({0, 3})
    ->Args({0, 5})
    ->Unit(benchmark::kMicrosecond);

// The main window with two spectrometers selected; the charts are refreshed for each reading.
struct Window {
    vqs::bench::OffscreenWindow window;
    vqs::AppState& state = window.state;
    vqs::Windows& windows = window.windows;
    SteadySpectrometer first;
    SteadySpectrometer second;

    Window() {
        vqs::TForm1& form = window.open();
        second.offset = 2.0f;
        for (int row : {0, 1}) {
            (*state.probes)[row].type = row == 0 ? vqs::kProbeQsp720 : vqs::kProbeJeti;
            (*state.probes)[row].displayName = QStringLiteral("spectrometer %1").arg(row);
        }
        form.probes().drivers().set(vqs::kProbeQsp720, &first);
        form.probes().drivers().set(vqs::kProbeJeti, &second);
        form.fillProbeSelectors();
        form.firstSM->setCurrentIndex(0);
        form.scndSM->setCurrentIndex(2);
        captureEverything(state.workingReport, state.targets);
    }
};

// state.range(0): 0 live with "Start Measurment" selected; 1 on "Stop (Show All)" with the
// readout frozen; 2 on "Stop (Show All)" while still measuring (the overview is redrawn on
// every reading).
void BM_TickWithTwoSpectrometers(benchmark::State& state) {
    static Window window;
    vqs::TForm1& form = *window.windows.form1;
    const int mode = static_cast<int>(state.range(0));
    form.selectSlot(mode == 0 ? vqs::kStartSlot : kStopSlot);
    window.state.measurementStopped = mode == 1;
    form.capture().cancelRun();
    for (auto _ : state) {
        form.Timer1Timer();
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TickWithTwoSpectrometers)
    ->ArgName("stop")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond);

// What the screen costs on top: the five areas repainted after a refresh.
void BM_RepaintChartAreas(benchmark::State& state) {
    static Window window;
    vqs::TForm1& form = *window.windows.form1;
    form.show();
    form.selectSlot(vqs::kStartSlot);
    for (auto _ : state) {
        form.Timer1Timer();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_RepaintChartAreas)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return vqs::bench::runOffscreenBenchmarks(argc, argv); }
