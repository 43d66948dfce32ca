// The current local time, and the one place a test can set it.
#pragma once
#include <functional>
#include <windows.h>

namespace ui {
SYSTEMTIME LocalNow();
// A test clock; an empty function restores the system clock.
void SetClock(std::function<SYSTEMTIME()> clock);
}  // namespace ui
