// Steps of the start-up, measurement, upkeep and shutdown sequences whose subsystems have not
// landed yet. Each keeps its place in its sequence (the start-up and shutdown steps record that
// they ran); the subsystem that owns it fills it in:
//   monitor link .................. markLinkClosed, takeOverComNumber, closeLink,
//                                   disconnectMonitors, sendPatternToMonitor, pushReading,
//                                   pushDate, readLink, serialReplyCheck, networkPollStep
//   monitor discovery ............. receiveDiscoveryReply, sendDiscoveryRequest
//   spectrometer driver ........... resetQsp720LibraryState
//   log files ..................... logCs2000Measurement

#include "app/tform1.h"

namespace vqs {

void TForm1::resetQsp720LibraryState() { trace("resetQsp720LibraryState"); }
void TForm1::markLinkClosed() { trace("markLinkClosed"); }
void TForm1::takeOverComNumber() { trace("takeOverComNumber"); }
void TForm1::sendPatternToMonitor() {}
void TForm1::closeLink() { trace("closeLink"); }
void TForm1::disconnectMonitors() { trace("disconnectMonitors"); }
void TForm1::pushReading() {}
void TForm1::readLink() {}
void TForm1::serialReplyCheck() {}
void TForm1::receiveDiscoveryReply() {}
void TForm1::sendDiscoveryRequest() {}
void TForm1::pushDate() {}
void TForm1::networkPollStep() {}
void TForm1::logCs2000Measurement(int, float, float, float, const Cs2000Spectrum&) {}

}  // namespace vqs
