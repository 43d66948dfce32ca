#include "host_fixture.h"

#include <fstream>
#include <sstream>

#include "engine.h"

namespace simtest {

int Run(const std::string& commandLine, const std::string& dir, int seconds) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  std::vector<char> cmd(commandLine.begin(), commandLine.end());
  cmd.push_back('\0');
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      dir.empty() ? nullptr : dir.c_str(), &si, &pi))
    return -1;
  CloseHandle(pi.hThread);
  DWORD code = (DWORD)-1;
  if (WaitForSingleObject(pi.hProcess, (DWORD)seconds * 1000) == WAIT_TIMEOUT) {
    TerminateProcess(pi.hProcess, 1);
  } else {
    GetExitCodeProcess(pi.hProcess, &code);
  }
  CloseHandle(pi.hProcess);
  return (int)code;
}

int Simctl(const std::string& args) { return Run(std::string("\"") + KX_SIM_BIN + "\\simctl.exe\" " + args); }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(ReadAll(path));
  std::string l;
  while (std::getline(in, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

DWORD ServiceStateOf(const std::string& name) { return sim::ServiceState(name); }

int Net(const std::string& verb, const std::string& service) {
  int rc = Run("C:\\windows\\system32\\net.exe " + verb + " " + service);
  for (int i = 0; verb == "stop" && rc == 0 && i < 50 && ServiceStateOf(service) != SERVICE_STOPPED; ++i) Sleep(100);
  return rc;
}

std::string RegistryValue(const std::string& key, const std::string& name) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "<no key>";
  char buf[512];
  DWORD size = sizeof buf, type = 0;
  std::string v = "<no value>";
  if (RegQueryValueExA(k, name.c_str(), nullptr, &type, (BYTE*)buf, &size) == ERROR_SUCCESS)
    v.assign(buf, strnlen(buf, size));
  RegCloseKey(k);
  return v;
}

}  // namespace simtest
