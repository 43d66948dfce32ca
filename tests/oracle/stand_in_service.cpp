// A service that does nothing but run until it is stopped: what the tests register under the
// names of an Oracle home's services. Started with the argument "slow-stop" it takes four
// seconds to answer a stop request, as an instance does that shuts down first.
#include <windows.h>

#include <cstring>

static SERVICE_STATUS_HANDLE Status;
static SERVICE_STATUS State = {SERVICE_WIN32_OWN_PROCESS, SERVICE_START_PENDING, 0, NO_ERROR, 0, 0, 0};
static HANDLE Stop;
static bool SlowStop = false;

static void Report(DWORD state) {
  State.dwCurrentState = state;
  State.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  SetServiceStatus(Status, &State);
}

static DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP) {
    if (SlowStop) Sleep(4000);
    Report(SERVICE_STOP_PENDING);
    SetEvent(Stop);
  }
  return NO_ERROR;
}

static void WINAPI Main(DWORD, char** argv) {
  Stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Status = RegisterServiceCtrlHandlerExA(argv[0], Control, nullptr);
  Report(SERVICE_RUNNING);
  WaitForSingleObject(Stop, INFINITE);
  Report(SERVICE_STOPPED);
}

int main(int argc, char** argv) {
  SlowStop = argc > 1 && std::strcmp(argv[1], "slow-stop") == 0;
  SERVICE_TABLE_ENTRYA table[] = {{const_cast<char*>(""), Main}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
