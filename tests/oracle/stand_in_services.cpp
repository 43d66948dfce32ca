#include "stand_in_services.h"

#include <gtest/gtest.h>

#include "platform/scoped.h"

namespace kxtest {

std::string WindowsPath(std::string unixPath) {
  for (char& c : unixPath)
    if (c == '/') c = '\\';
  return "Z:" + unixPath;
}

bool Simctl(const std::string& args) {
  std::string line = "\"" + WindowsPath(SIM_BIN) + "\\simctl.exe\" " + args;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hThread);
  DWORD code = 1;
  // A setup or teardown that outlived the test must not go on changing the prefix after it.
  if (WaitForSingleObject(pi.hProcess, 300000) == WAIT_OBJECT_0)
    GetExitCodeProcess(pi.hProcess, &code);
  else
    TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  return code == 0;
}

namespace {

ui::AutoScHandle Manager() { return ui::AutoScHandle(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)); }

}  // namespace

ServiceNow QueryService(const std::string& name) {
  ServiceNow now;
  ui::AutoScHandle m = Manager();
  ui::AutoScHandle s(OpenServiceA(m, name.c_str(), SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG));
  if (!s.Ok()) return now;
  SERVICE_STATUS_PROCESS st;
  DWORD needed;
  if (QueryServiceStatusEx(s, SC_STATUS_PROCESS_INFO, (BYTE*)&st, sizeof st, &needed)) {
    now.state = st.dwCurrentState;
    now.processId = st.dwProcessId;
  }
  std::vector<unsigned char> buf(8192);
  if (QueryServiceConfigA(s, (QUERY_SERVICE_CONFIGA*)buf.data(), (DWORD)buf.size(), &needed))
    now.startType = ((QUERY_SERVICE_CONFIGA*)buf.data())->dwStartType;
  return now;
}

bool WaitForState(const std::string& name, DWORD state) {
  for (int i = 0; i < 100; ++i) {
    if (QueryService(name).state == state) return true;
    Sleep(100);
  }
  return false;
}

StandInServices::StandInServices(std::vector<std::string> n, DWORD startType, const char* argument)
    : names(std::move(n)) {
  ui::AutoScHandle m = Manager();
  const std::string program = WindowsPath(STAND_IN_SERVICE) + argument;
  for (const std::string& name : names) {
    ui::AutoScHandle s(CreateServiceA(m, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                      startType, SERVICE_ERROR_NORMAL, program.c_str(), nullptr, nullptr, nullptr,
                                      nullptr, nullptr));
    EXPECT_TRUE(s.Ok()) << name << " " << GetLastError();
    EXPECT_TRUE(StartServiceA(s, 0, nullptr)) << name << " " << GetLastError();
  }
  for (const std::string& name : names) EXPECT_TRUE(WaitForState(name, SERVICE_RUNNING)) << name;
}

StandInServices::~StandInServices() {
  ui::AutoScHandle m = Manager();
  for (const std::string& name : names) {
    ui::AutoScHandle s(OpenServiceA(m, name.c_str(), SERVICE_ALL_ACCESS));
    SERVICE_STATUS st;
    ControlService(s, SERVICE_CONTROL_STOP, &st);
    WaitForState(name, SERVICE_STOPPED);
    DeleteService(s);
  }
  // A deleted service stays until its last handle is closed; the next test may reuse the name.
  for (const std::string& name : names)
    for (int i = 0; i < 100; ++i) {
      ui::AutoScHandle s(OpenServiceA(m, name.c_str(), SERVICE_QUERY_STATUS));
      if (!s.Ok()) break;
      Sleep(100);
    }
}

}  // namespace kxtest
