// Cost of "Print" up to the finished PDF: filling the six pages (charts and tables) and laying
// them out, finishing and writing the PDF in memory. The size of the uncompressed file is
// reported as a counter.

#include "charts/gallery_report.h"
#include "report/pdf_export.h"
#include "report/report_filling.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

struct Measured {
    vqs::PatchCatalogue targets = vqs::makePatchCatalogue();
    vqs::Tcaldaten report = vqs::makeGalleryReport(targets);
    vqs::Tprobevals reading;
    vqs::ReportInputs inputs(bool xyMode) const {
        return {report, targets, reading, QStringLiteral("SN-1"), QStringLiteral("Studio"),
                QStringLiteral("2.35"), xyMode};
    }
};

void BM_FillReport(benchmark::State& state) {
    const Measured measured;
    for (auto _ : state) {
        vqs::ReportDocument document = vqs::fillReport(measured.inputs(state.range(0) != 0));
        benchmark::DoNotOptimize(document);
    }
}
BENCHMARK(BM_FillReport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_WriteReportPdf(benchmark::State& state) {
    const Measured measured;
    const vqs::ReportDocument document = vqs::fillReport(measured.inputs(false));
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray pdf = vqs::renderReportPdf(document);
        bytes = pdf.size();
        benchmark::DoNotOptimize(pdf.constData());
    }
    state.counters["pdf_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_WriteReportPdf)->Unit(benchmark::kMillisecond);

}  // namespace

// Chart texts and the PDF writer's fonts need a GUI application.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
