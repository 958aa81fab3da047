// Steps of the start-up, measurement, upkeep and shutdown sequences whose subsystems have not
// landed yet. Each keeps its place in its sequence (the start-up and shutdown steps record that
// they ran); the subsystem that owns it fills it in:
//   spectrometer driver ........... resetQsp720LibraryState

#include "app/tform1.h"

namespace vqs {

void TForm1::resetQsp720LibraryState() { trace("resetQsp720LibraryState"); }

}  // namespace vqs
