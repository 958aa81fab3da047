// The daily log and spectrum files: the save button writes the first probe's spectrum at once
// and asks the next CS-2000 or QSP720 reading to be logged; the drivers hand that reading here.

#include "app/tform1.h"
#include "data/log_files.h"

#include <QDir>
#include <QTimer>

#include <algorithm>

namespace vqs {

void TForm1::spdBtnSaveClick() {
    const Tsprad& block = state_.probe1.spectrum;
    const auto count =
        static_cast<std::size_t>(std::clamp<int32_t>(block.count, 0, kSpectrumCapacity));
    const LoggedSpectrum spectrum{block.firstWavelength, block.lastWavelength,
                                  std::span<const float>(block.values.data(), count)};
    state_.logNextMeasurement = true;
    const FileWriteResult written =
        appendSpectrumLine(state_.settings.reportDir, services_.clock, spectrum);
    if (!written.ok) tellWriteFailure(written);
}

void TForm1::logCs2000Measurement(int row, float X, float Y, float Z,
                                  const Cs2000Spectrum& spectrum) {
    logProbeMeasurement(row, X, Y, Z, spectrum);
}

void TForm1::logProbeMeasurement(int row, float X, float Y, float Z,
                                 std::span<const float> spectrum) {
    if (row < 0 || row >= kProbeRows) return;
    const Tsmlist& entry = (*state_.probes)[row];
    const auto samples =
        static_cast<std::size_t>(std::clamp<int32_t>(entry.sampleCount, 0, kProbeSamples));
    const LoggedProbe probe{entry.displayName,
                            std::span<const float>(entry.wavelength.data(), samples)};
    const FileWriteResult written =
        appendLogLine(state_.settings.reportDir, services_.clock, probe,
                      {X, Y, Z, spectrum.first(std::min(samples, spectrum.size()))});
    // The drivers log from within the measurement tick; the message waits until it is over.
    if (!written.ok) tellAfterTick(PromptKind::Error, writeFailureText(written));
}

QString TForm1::writeFailureText(const FileWriteResult& result) {
    return QStringLiteral("%1 could not be written: %2")
        .arg(QDir::toNativeSeparators(result.path), result.error);
}

void TForm1::tellWriteFailure(const FileWriteResult& result) {
    services_.prompts.message(PromptKind::Error, writeFailureText(result), PromptButtons::Ok);
}

}  // namespace vqs
