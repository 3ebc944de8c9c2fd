#include "ui/main/yield_pacer.h"

namespace velquin::ui {

bool YieldPacer::Due(bool eventsWaiting, Clock::time_point now) {
    if (!eventsWaiting && now - last_ < interval_) return false;
    last_ = now;
    return true;
}

}  // namespace velquin::ui
