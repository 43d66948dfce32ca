// Presses Enter at a console, as the person at it would at a batch's pause.
#pragma once
#include <windows.h>

namespace kxtest {
// `conin` is the console's input ("CONIN$"); true when the key-down and key-up went in.
inline bool PressEnter(HANDLE conin) {
  INPUT_RECORD r[2] = {};
  for (int i = 0; i < 2; ++i) {
    r[i].EventType = KEY_EVENT;
    r[i].Event.KeyEvent.bKeyDown = i == 0;
    r[i].Event.KeyEvent.wRepeatCount = 1;
    r[i].Event.KeyEvent.wVirtualKeyCode = VK_RETURN;
    r[i].Event.KeyEvent.uChar.AsciiChar = '\r';
  }
  DWORD written = 0;
  return WriteConsoleInputA(conin, r, 2, &written) && written == 2;
}
}  // namespace kxtest
