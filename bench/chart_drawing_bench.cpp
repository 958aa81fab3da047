// Cost of the chart backgrounds that are drawn once per picture: the chromaticity diagram with
// its coloured fill, and a gamma panel with its target curves.

#include "charts/chromaticity_diagram.h"
#include "charts/gamma_panel.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

vqs::TGraphConstrains chart(int xLength, float xMin, float xMax, int xDivisions, int yLength,
                            float yMin, float yMax, int yDivisions) {
    vqs::TGraphConstrains c;
    c.x = {xLength, 20, xMin, xMax, xDivisions, QStringLiteral("u")};
    c.y = {yLength, 20, yMin, yMax, yDivisions, QStringLiteral("v")};
    return c;
}

void BM_ChromaticityDiagram400(benchmark::State& state) {
    const bool xyMode = state.range(0) != 0;
    const vqs::TGraphConstrains c =
        xyMode ? chart(400, 0, 0.9f, 9, 400, 0, 0.9f, 9) : chart(400, 0, 0.6f, 6, 400, 0, 0.6f, 6);
    const vqs::PatchCatalogue targets = vqs::makePatchCatalogue();
    vqs::Canvas canvas(vqs::pictureWidth(c), vqs::pictureHeight(c));
    for (auto _ : state) {
        const vqs::Locus locus = vqs::buildLocus(xyMode);
        vqs::drawChromaticityDiagram(canvas, xyMode, c, vqs::kDiagramEbuTargets, locus, targets);
        benchmark::DoNotOptimize(canvas.image().constBits());
    }
}
BENCHMARK(BM_ChromaticityDiagram400)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_GammaPanel(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const vqs::TGraphConstrains c =
        kind == 3 ? chart(400, 22, 230, 8, 200, 1, 3, 4) : chart(400, 0, 255, 10, 200, 0, 100, 10);
    const vqs::PatchCatalogue targets = vqs::makePatchCatalogue();
    const vqs::Tcaldaten report;
    const QString target = state.range(1) != 0 ? QStringLiteral("DICOM") : QStringLiteral("2.2");
    vqs::Canvas canvas(vqs::pictureWidth(c), vqs::pictureHeight(c));
    for (auto _ : state) {
        vqs::drawGammaPanel(canvas, kind, c, vqs::GammaSources{report, targets, target});
        benchmark::DoNotOptimize(canvas.image().constBits());
    }
}
BENCHMARK(BM_GammaPanel)->Args({2, 0})->Args({3, 0})->Args({2, 1})->Unit(benchmark::kMicrosecond);

}  // namespace

// Chart texts need the font database of a GUI application.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
