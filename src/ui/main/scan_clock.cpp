#include "ui/main/scan_clock.h"

namespace velquin::ui {

namespace {
std::string TwoDigits(int n) {
    std::string text = std::to_string(n);
    return text.size() == 1 ? "0" + text : text;
}
}  // namespace

void ElapsedClock::Reset() { seconds_ = minutes_ = hours_ = 0; }

void ElapsedClock::Tick() {
    if (++seconds_ > 59) {
        seconds_ = 0;
        ++minutes_;
    }
    if (minutes_ > 59) {
        minutes_ = 0;
        ++hours_;
    }
}

std::string ElapsedClock::Text() const {
    return TwoDigits(hours_) + ":" + TwoDigits(minutes_) + ":" + TwoDigits(seconds_);
}

IndicatorStep ActivityIndicatorTick(int value, int max) {
    IndicatorStep step;
    step.value = value + 1;
    if (step.value == max) step.value = 0;
    if (step.value == 5) step.caption = ">>";
    if (step.value == 9) step.caption = ">";
    return step;
}

int BusyBarTick(int value, int max) {
    ++value;
    return value == max ? 0 : value;
}

}  // namespace velquin::ui
