#pragma once
// When a scan running on the window's thread lets the window handle its events. A full turn of
// the event loop after every entry costs more than the entry itself; a turn when events are known
// to wait, or when a few milliseconds have passed since the last one, keeps the timers at their
// rates and Stop as quick to take effect, for the price of one clock reading per entry.

#include <chrono>

namespace velquin::ui {

class YieldPacer {
public:
    using Clock = std::chrono::steady_clock;
    // Well below the busy bar's 20 ms tick, so no timer waits a noticeable part of its interval.
    static constexpr std::chrono::milliseconds kInterval{4};

    // `interval` 0 yields at every call.
    explicit YieldPacer(Clock::duration interval = kInterval) : interval_(interval) {}

    // Whether the shell processes its pending events now. `eventsWaiting` is what the shell can
    // tell cheaply (input in its queue, say); a shell that cannot tell passes false and relies on
    // the clock.
    bool Due(bool eventsWaiting, Clock::time_point now = Clock::now());
    // Counts the interval from `now`, as at the start of a scan.
    void Restart(Clock::time_point now = Clock::now()) { last_ = now; }

private:
    Clock::duration interval_;
    Clock::time_point last_{};
};

}  // namespace velquin::ui
