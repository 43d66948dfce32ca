// How long the program waits for the child processes it starts. The program never changes
// these; tests shorten them.
#pragma once
#include <windows.h>

namespace ui {
struct ProcessWaits {
  DWORD toolMs = 600000;     // Oracle's command-line tool, per script
  DWORD servicesMs = 90000;  // the services restart batch
};
extern ProcessWaits Waits;
}  // namespace ui
