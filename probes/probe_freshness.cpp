#include "probes/probe_freshness.h"

#include <algorithm>

namespace vqs {

void ProbeFreshness::update(int row, bool delivered, int64_t nowMs, bool reachable) {
    now_ = nowMs;
    if (row != row_) {  // another probe: its rhythm is its own
        *this = ProbeFreshness();
        row_ = row;
        now_ = since_ = nowMs;
    }
    reachable_ = reachable;
    if (row_ < 0) {
        liveness_ = ProbeLiveness::NoProbe;
        return;
    }
    if (delivered) {
        if (!delivered_) {
            firstWait_ = nowMs - since_;
        } else {
            intervals_[nextInterval_] = nowMs - since_;
            nextInterval_ = (nextInterval_ + 1) % kKeptIntervals;
        }
        delivered_ = true;
        since_ = nowMs;
    }
    // A probe whose port is gone cannot deliver: waiting for its intervals would only hide that.
    if (!reachable)
        liveness_ = ProbeLiveness::Silent;
    else if (!delivered_)
        liveness_ = ProbeLiveness::Waiting;
    else
        liveness_ = quietMs() > silenceLimitMs() ? ProbeLiveness::Silent : ProbeLiveness::Live;
}

int64_t ProbeFreshness::silenceLimitMs() const {
    int64_t interval = *std::max_element(intervals_.begin(), intervals_.end());
    if (interval == 0) interval = firstWait_;
    return std::max(kSilentAfterIntervals * interval, kShortestSilenceMs);
}

}  // namespace vqs
