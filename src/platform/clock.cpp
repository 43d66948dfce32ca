#include "platform/clock.h"

namespace ui {

static std::function<SYSTEMTIME()> Clock;

SYSTEMTIME LocalNow() {
  if (Clock) return Clock();
  SYSTEMTIME t;
  GetLocalTime(&t);
  return t;
}

void SetClock(std::function<SYSTEMTIME()> clock) { Clock = std::move(clock); }

}  // namespace ui
