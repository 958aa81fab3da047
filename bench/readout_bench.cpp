// Cost of turning one reading into the texts of a readout, done for both probes every tick.

#include "colour/colour_conversion.h"
#include "colour/fixed_text.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ConvertAndFormatReading(benchmark::State& state) {
    vqs::Tprobevals reading;
    float y = 100.0f;
    for (auto _ : state) {
        reading.X = 95.047f;
        reading.Y = y;
        reading.Z = 108.883f;
        vqs::convertReading(reading);
        QString texts[8] = {
            vqs::fixedText(reading.X, 5, 1),  vqs::fixedText(reading.Y, 5, 1),
            vqs::fixedText(reading.Z, 5, 1),  vqs::fixedText(reading.x, 5, 4),
            vqs::fixedText(reading.y, 5, 4),  vqs::fixedText(reading.up, 5, 4),
            vqs::fixedText(reading.vp, 5, 4), QString::number(reading.cct)};
        benchmark::DoNotOptimize(texts);
        y += 0.01f;
    }
}
BENCHMARK(BM_ConvertAndFormatReading);

}  // namespace
