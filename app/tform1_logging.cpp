// The save button of the charts writes the first probe's spectrum at once and asks the next
// CS-2000 or QSP720 reading to be logged (the probe session keeps the daily files).

#include "app/tform1.h"

namespace vqs {

void TForm1::spdBtnSaveClick() {
    probes_->saveSpectrum(state_.probe1.spectrum);
}

}  // namespace vqs
