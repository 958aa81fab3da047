// The measurement cycle: every 100 ms, poll both probe positions and show their readings,
// advance an automatic capture run, keep the operator informed, move the serial bytes and pace
// the messages to the monitors.

#include "app/tform1.h"

#include <QComboBox>

namespace vqs {

void TForm1::Timer1Timer() {
    probes_->interpretReplies();

    const int r1 = firstSM->currentIndex();
    const bool got1 = probes_->pollFirst(r1, state_.probe1);
    if (got1) link_->pushReading(state_.probe1.X, state_.probe1.Y, state_.probe1.Z);
    probes_->releaseDeselectedFirst(r1);
    const bool got2 = probes_->pollSecond(scndSM->currentIndex(), state_.probe1, state_.probe2);
    if (got2) showSecondReading();

    if (!state_.measurementStopped) capture_->advance(got1, got2);
    showStatusLine();
    showProbeStates();
    capture_->dropRecoveryOnceSaved();

    link_->readLink();
    link_->serialReplyCheck();
    probes_->readBytes();
    link_->receiveDiscoveryReply();
    link_->paceDiscovery();
    link_->networkPollStep();
    link_->tellConnectionFailures();
    tellSerialProblems();
}

}  // namespace vqs
