// The save button of the charts writes the first probe's spectrum at once and asks the next
// CS-2000 or QSP720 reading to be logged (the probe session keeps the daily files).

#include "app/tform1.h"

namespace vqs {

void TForm1::spdBtnSaveClick() {
    probes_->saveSpectrum(state_.probe1.spectrum);
}

void TForm1::logProbeMeasurement(int row, float X, float Y, float Z,
                                 std::span<const float> spectrum) {
    probes_->logMeasurement(row, X, Y, Z, spectrum);
}

QString TForm1::writeFailureText(const FileWriteResult& result) {
    return vqs::writeFailureText(result);
}

void TForm1::tellWriteFailure(const FileWriteResult& result) {
    services_.prompts.message(PromptKind::Error, writeFailureText(result), PromptButtons::Ok);
}

}  // namespace vqs
