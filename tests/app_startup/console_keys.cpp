// Presses Enter at the console of another process, as the person at that console would:
// console_keys <process id>. Exit code 0 when the key went in.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  FreeConsole();
  if (!AttachConsole(std::strtoul(argv[1], nullptr, 10))) return 1;
  HANDLE in = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
  if (in == INVALID_HANDLE_VALUE) return 1;
  INPUT_RECORD r[2] = {};
  for (int i = 0; i < 2; ++i) {
    r[i].EventType = KEY_EVENT;
    r[i].Event.KeyEvent.bKeyDown = i == 0;
    r[i].Event.KeyEvent.wRepeatCount = 1;
    r[i].Event.KeyEvent.wVirtualKeyCode = VK_RETURN;
    r[i].Event.KeyEvent.uChar.AsciiChar = '\r';
  }
  DWORD written = 0;
  return WriteConsoleInputA(in, r, 2, &written) && written == 2 ? 0 : 1;
}
