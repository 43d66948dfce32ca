// The host's services in the service control manager.
#include <windows.h>

#include <vector>

#include "ctl.h"
#include "engine.h"

bool CreateHostService(const std::string& name, const std::string& commandLine) {
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!scm) return false;
  SC_HANDLE svc = CreateServiceA(scm, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                 SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                 commandLine.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
  bool ok = svc != nullptr;
  if (svc) CloseServiceHandle(svc);
  CloseServiceHandle(scm);
  return ok;
}

static bool WaitForState(SC_HANDLE svc, DWORD state, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    SERVICE_STATUS st;
    if (!QueryServiceStatus(svc, &st)) return false;
    if (st.dwCurrentState == state) return true;
    Sleep(100);
  }
  return false;
}

bool StartHostService(const std::string& name) {
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!scm) return false;
  SC_HANDLE svc = OpenServiceA(scm, name.c_str(), SERVICE_ALL_ACCESS);
  bool ok = svc && (StartServiceA(svc, 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING) &&
            WaitForState(svc, SERVICE_RUNNING, 60);
  if (svc) CloseServiceHandle(svc);
  CloseServiceHandle(scm);
  return ok;
}

void DeleteHostServices() {
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!scm) return;
  std::vector<char> buf(256 * 1024);
  DWORD needed = 0, count = 0, resume = 0;
  std::vector<std::string> names;
  if (EnumServicesStatusA(scm, SERVICE_WIN32, SERVICE_STATE_ALL, (ENUM_SERVICE_STATUSA*)buf.data(),
                          (DWORD)buf.size(), &needed, &count, &resume))
    for (DWORD i = 0; i < count; ++i) names.push_back(((ENUM_SERVICE_STATUSA*)buf.data())[i].lpServiceName);
  std::vector<std::string> deleted;
  for (const auto& name : names) {
    SC_HANDLE svc = OpenServiceA(scm, name.c_str(), SERVICE_ALL_ACCESS);
    if (!svc) continue;
    std::vector<char> cfg(8192);
    if (!QueryServiceConfigA(svc, (QUERY_SERVICE_CONFIGA*)cfg.data(), (DWORD)cfg.size(), &needed) ||
        sim::Upper(((QUERY_SERVICE_CONFIGA*)cfg.data())->lpBinaryPathName).find("SIMSVC.EXE") == std::string::npos) {
      CloseServiceHandle(svc);
      continue;
    }
    SERVICE_STATUS_PROCESS sp = {};
    DWORD n = 0;
    QueryServiceStatusEx(svc, SC_STATUS_PROCESS_INFO, (BYTE*)&sp, sizeof sp, &n);
    HANDLE process = sp.dwProcessId ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, sp.dwProcessId) : nullptr;
    SERVICE_STATUS st;
    if (ControlService(svc, SERVICE_CONTROL_STOP, &st)) WaitForState(svc, SERVICE_STOPPED, 30);
    // The program must be gone before its file can be replaced; one that refuses to stop (an
    // injected fault) is ended by force.
    if (process) {
      if (WaitForSingleObject(process, 5000) == WAIT_TIMEOUT) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 10000);
      }
      CloseHandle(process);
    }
    DeleteService(svc);
    CloseServiceHandle(svc);
    deleted.push_back(name);
  }
  // A deleted service lingers until its last handle is closed; a new one of that name must wait.
  for (const auto& name : deleted)
    for (int i = 0; i < 100; ++i) {
      SC_HANDLE svc = OpenServiceA(scm, name.c_str(), SERVICE_QUERY_STATUS);
      if (!svc) break;
      CloseServiceHandle(svc);
      Sleep(100);
    }
  CloseServiceHandle(scm);
}

std::string HostHome(const Options& opt) {
  auto it = opt.find("home");
  if (it != opt.end()) return it->second;
  HKEY k;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ORACLE", 0, KEY_READ, &k) != ERROR_SUCCESS) return "";
  char buf[MAX_PATH];
  DWORD size = sizeof buf, type = 0;
  std::string home;
  if (RegQueryValueExA(k, "ORACLE_HOME", nullptr, &type, (BYTE*)buf, &size) == ERROR_SUCCESS)
    home.assign(buf, strnlen(buf, size));
  RegCloseKey(k);
  return home;
}
