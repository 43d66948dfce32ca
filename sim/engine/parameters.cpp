// Where the instance finds its settings: the parameter file, tnsnames.ora, the registry, the
// services of the home.
#include <fstream>

#include "engine.h"

namespace sim {

static std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

std::string Unquote(std::string v) {
  if (v.size() >= 2 && (v[0] == '\'' || v[0] == '"')) v = v.substr(1, v.size() - 2);
  return v;
}

static void ReadParameterFile(const std::string& path, std::map<std::string, std::string>& out,
                              int depth) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line);
    size_t eq = line.find('=');
    if (line.empty() || line[0] == '#' || eq == std::string::npos) continue;
    std::string name = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
    for (char& c : name) c = (char)tolower((unsigned char)c);
    // A pointer to the real file: read it in place (an spfile, or an IFILE'd init file).
    if ((name == "spfile" || name == "ifile") && depth < 3)
      ReadParameterFile(Unquote(value), out, depth + 1);
    else
      out[name] = value;
  }
}

std::map<std::string, std::string> ReadParameters(const std::string& home, const std::string& sid) {
  std::map<std::string, std::string> out;
  ReadParameterFile(home + "\\DATABASE\\init" + sid + ".ora", out, 0);
  return out;
}

std::vector<std::string> ControlFilePaths(const std::map<std::string, std::string>& params) {
  std::vector<std::string> paths;
  auto it = params.find("control_files");
  if (it == params.end()) return paths;
  std::string v = it->second;
  if (!v.empty() && v[0] == '(') v = v.substr(1, v.size() - 2);
  size_t start = 0;
  for (;;) {
    size_t comma = v.find(',', start);
    std::string p = Unquote(Trim(v.substr(start, comma - start)));
    if (!p.empty()) paths.push_back(p);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return paths;
}

std::string ArchiveFolder(const std::map<std::string, std::string>& params) {
  for (const char* name : {"log_archive_dest_1", "log_archive_dest"}) {
    auto it = params.find(name);
    if (it == params.end() || it->second.empty()) continue;
    std::string v = Unquote(it->second);
    if (Upper(v.substr(0, 9)) == "LOCATION=") v = v.substr(9);
    return v;
  }
  return "";
}

static std::string AlertLogPath(const std::string& home, const std::string& sid) {
  auto params = ReadParameters(home, sid);
  std::string dir = Unquote(params["background_dump_dest"]);
  if (dir.empty()) dir = home + "\\RDBMS\\TRACE";
  return dir + "\\" + Upper(sid) + "ALRT.LOG";
}

void WriteAlertLog(const std::string& home, const std::string& sid, const std::string& text) {
  std::ofstream out(AlertLogPath(home, sid), std::ios::app);
  out << NowText() << "\n" << text << "\n";
}

std::string ResolveAlias(const std::string& home, const std::string& alias) {
  // Entries are written one a line: ALIAS = (DESCRIPTION = ... (SID = ORCL) ...).
  std::ifstream in(home + "\\NETWORK\\ADMIN\\tnsnames.ora");
  std::string line;
  while (std::getline(in, line)) {
    size_t eq = line.find('=');
    if (eq == std::string::npos || Upper(Trim(line.substr(0, eq))) != Upper(Trim(alias))) continue;
    std::string u = Upper(line);
    size_t s = u.find("(SID");
    if (s == std::string::npos) continue;
    size_t v = u.find('=', s) + 1, e = u.find(')', v);
    return Trim(line.substr(v, e - v));
  }
  return "";
}

std::string LocalSid() {
  char buf[256];
  DWORD n = GetEnvironmentVariableA("ORACLE_SID", buf, sizeof buf);
  if (n > 0 && n < sizeof buf) return buf;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ORACLE\\HOME0", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return "";
  DWORD size = sizeof buf, type = 0;
  std::string sid;
  if (RegQueryValueExA(key, "ORACLE_SID", nullptr, &type, (BYTE*)buf, &size) == ERROR_SUCCESS &&
      type == REG_SZ)
    sid.assign(buf, strnlen(buf, size));
  RegCloseKey(key);
  return sid;
}

std::string ProgramOracleHome() {
  char buf[MAX_PATH];
  GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return FolderOf(FolderOf(buf));
}

DWORD ServiceState(const std::string& name) {
  SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (!scm) return 0;
  DWORD state = 0;
  SC_HANDLE svc = OpenServiceA(scm, name.c_str(), SERVICE_QUERY_STATUS);
  SERVICE_STATUS st;
  if (svc && QueryServiceStatus(svc, &st)) state = st.dwCurrentState;
  if (svc) CloseServiceHandle(svc);
  CloseServiceHandle(scm);
  return state;
}

}  // namespace sim
