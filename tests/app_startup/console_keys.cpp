// Presses Enter at the console of another process, as the person at that console would:
// console_keys <process id>. Exit code 0 when the key went in.
#include <windows.h>

#include <cstdlib>

#include "console_keys.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  FreeConsole();
  if (!AttachConsole(std::strtoul(argv[1], nullptr, 10))) return 1;
  HANDLE in = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
  if (in == INVALID_HANDLE_VALUE) return 1;
  return kxtest::PressEnter(in) ? 0 : 1;
}
