// The services of an Oracle home, one program in three roles (command line: ROLE SID):
//   database  OracleService<SID>: starts the instance when it starts, shuts it down when stopped
//             in the mode of ORA_<SID>_SHUTDOWNTYPE, waiting ORA_<SID>_SHUTDOWN_TIMEOUT seconds;
//   start     OracleStart<SID> (8.0): opens the instance when it starts;
//   listener  a TNS listener: while it runs, logons through a connect string are possible.
#include <cstdlib>

#include "engine.h"

namespace {

std::string Role, Sid, Home;
SERVICE_STATUS_HANDLE StatusHandle;
HANDLE StopEvent;
bool Stopping = false;  // set under the host lock once the held file is released
HANDLE HeldFile = INVALID_HANDLE_VALUE;
std::string HeldPath;

// A running service that refuses to stop (the "service-stop" fault) does not accept the control.
void Report(DWORD state, DWORD waitHint = 0, bool stoppable = true) {
  SERVICE_STATUS st = {};
  st.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  st.dwCurrentState = state;
  st.dwControlsAccepted = state == SERVICE_RUNNING && stoppable ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
  st.dwWaitHint = waitHint;
  SetServiceStatus(StatusHandle, &st);
}

// A value of the home's key (HOME0; release 8.0 keeps them in SOFTWARE\ORACLE itself).
std::string HomeValue(const std::string& name) {
  for (const char* key : {"SOFTWARE\\ORACLE\\HOME0", "SOFTWARE\\ORACLE"}) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &k) != ERROR_SUCCESS) continue;
    char buf[256];
    DWORD size = sizeof buf, type = 0;
    LONG r = RegQueryValueExA(k, name.c_str(), nullptr, &type, (BYTE*)buf, &size);
    RegCloseKey(k);
    if (r == ERROR_SUCCESS && type == REG_SZ) return std::string(buf, strnlen(buf, size));
  }
  return "";
}

std::string Fault(const std::string& name) {
  sim::HostState st;
  sim::LoadHostState(Home, Sid, st);
  auto it = st.faults.find(name);
  return it == st.faults.end() ? "" : it->second;
}

// The "hold-datafile" fault: the instance keeps the file open without sharing it for reading,
// so a copy fails with a sharing violation; the others read its held copy meanwhile.
void UpdateHeldFile() {
  std::string id = Fault("hold-datafile");
  if (id.empty() == (HeldFile == INVALID_HANDLE_VALUE)) return;
  sim::HostLock lock(Sid);
  if (Stopping) return;
  if (id.empty()) {
    CloseHandle(HeldFile);
    HeldFile = INVALID_HANDLE_VALUE;
    DeleteFileA(HeldPath.c_str());
    return;
  }
  auto paths = sim::ControlFilePaths(sim::ReadParameters(Home, Sid));
  sim::ControlFile cf;
  if (paths.empty() || !sim::ReadControlFile(paths[0], cf)) return;
  for (const auto& f : cf.files) {
    if (std::to_string(f.id) != id) continue;
    HeldPath = sim::HeldCopyPath(f.path);
    if (!CopyFileA(f.path.c_str(), HeldPath.c_str(), FALSE)) return;
    HeldFile = CreateFileA(f.path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
}

DWORD WINAPI ShutdownThread(LPVOID mode) {
  sim::Lines out;
  sim::ShutdownInstance(Home, Sid, (const char*)mode, out);
  return 0;
}

void StopDatabase() {
  std::string type = HomeValue("ORA_" + Sid + "_SHUTDOWNTYPE");
  const char* mode = type == "a" ? "abort" : type == "n" ? "normal" : "immediate";
  int timeout = atoi(HomeValue("ORA_" + Sid + "_SHUTDOWN_TIMEOUT").c_str());
  if (timeout <= 0) timeout = 90;
  Report(SERVICE_STOP_PENDING, (DWORD)timeout * 1000 + 5000);
  HANDLE t = CreateThread(nullptr, 0, ShutdownThread, (LPVOID)mode, 0, nullptr);
  // An instance that does not shut down in time is killed when the service ends: an abort.
  if (WaitForSingleObject(t, (DWORD)timeout * 1000) == WAIT_TIMEOUT) {
    sim::Lines out;
    sim::ShutdownInstance(Home, Sid, "abort", out);
  }
  CloseHandle(t);
}

// The stop is carried out inside the control, so that a "net stop" that returns at the answer
// (as Wine's does) finds the instance down, as on Windows. The service reports itself stopped
// just after the answer has gone (Wine drops the control's channel once a service is stopped),
// well before a "net start" started next can ask for it.
DWORD WINAPI Handler(DWORD control, DWORD, LPVOID, LPVOID) {
  if (control == SERVICE_CONTROL_INTERROGATE) return NO_ERROR;
  if (control != SERVICE_CONTROL_STOP && control != SERVICE_CONTROL_SHUTDOWN) return ERROR_CALL_NOT_IMPLEMENTED;
  Report(SERVICE_STOP_PENDING, 10000);
  if (Role == "database") StopDatabase();
  {
    sim::HostLock lock(Sid);
    Stopping = true;
    if (HeldFile != INVALID_HANDLE_VALUE) {
      CloseHandle(HeldFile);
      DeleteFileA(HeldPath.c_str());
    }
  }
  SetEvent(StopEvent);
  return NO_ERROR;
}

void WINAPI ServiceMain(DWORD argc, LPSTR* argv) {
  StatusHandle = RegisterServiceCtrlHandlerExA(argc > 0 ? argv[0] : "", Handler, nullptr);
  Report(SERVICE_START_PENDING, 30000);
  sim::Lines out;
  bool autostart = sim::Upper(HomeValue("ORA_" + Sid + "_AUTOSTART")) != "FALSE";
  if (Role == "database" && autostart) sim::StartupInstance(Home, Sid, "open", false, out);
  if (Role == "start") {
    sim::HostState st;
    if (sim::LoadHostState(Home, Sid, st) && st.state == sim::kDown)
      sim::StartupInstance(Home, Sid, "open", false, out);
  }
  Report(SERVICE_RUNNING);
  bool stoppable = true;
  while (WaitForSingleObject(StopEvent, 300) == WAIT_TIMEOUT) {
    if (Role != "database") continue;
    UpdateHeldFile();
    bool now = Fault("service-stop") != "refuse";
    if (now != stoppable && !Stopping) Report(SERVICE_RUNNING, 0, stoppable = now);
  }
  Sleep(20);
  Report(SERVICE_STOPPED);
  // Wine's dispatcher does not always return once the service has stopped; a process left
  // behind would keep BIN\simsvc.exe in use.
  Sleep(200);
  ExitProcess(0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  Role = argv[1];
  Sid = argv[2];
  Home = sim::ProgramOracleHome();
  StopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  char name[] = "";
  SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
