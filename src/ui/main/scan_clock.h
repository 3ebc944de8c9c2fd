#pragma once
// The three animations of a running scan, as plain state that the window's timers advance one tick
// at a time: the elapsed-time clock, the activity indicator and the busy bar.

#include <optional>
#include <string>

namespace velquin::ui {

// Counts one second per tick, whatever the timer's real interval; hours grow past two digits.
class ElapsedClock {
public:
    void Reset();
    void Tick();
    // Hours, minutes and seconds as two-digit (or longer) numbers joined by colons: "00:01:05".
    std::string Text() const;

    static constexpr const char* kZero = "00:00:00";

private:
    int seconds_ = 0;
    int minutes_ = 0;
    int hours_ = 0;
};

// One tick of the activity indicator: the counter moves on by one and wraps to 0 at `max`;
// at 5 the indicator reads ">>", at 9 it reads ">", otherwise it keeps what it shows.
struct IndicatorStep {
    int value = 0;
    std::optional<std::string> caption;
};
IndicatorStep ActivityIndicatorTick(int value, int max);

inline constexpr const char* kIndicatorIdle = "[-]";

// One tick of the busy bar: moves on by one and wraps to 0 at `max` (activity, not progress).
int BusyBarTick(int value, int max);

}  // namespace velquin::ui
