// What a session sees: the logon checks of the listener, the service and the password file, and
// the data-dictionary views built from the parameter file, the control file and SYSTEM.
#include "engine.h"

namespace sim {

std::string CheckLogon(const std::string& home, const std::string& server, const std::string& user,
                       const std::string& password, bool sysdba, bool idleOk, std::string& sid) {
  sid = server.empty() ? LocalSid() : ResolveAlias(home, server);
  if (sid.empty())
    return server.empty() ? "ORA-12560: TNS:protocol adapter error"
                          : "ORA-12154: TNS:could not resolve service name";
  HostLock lock(sid);
  HostState st;
  if (!LoadHostState(home, sid, st) || ServiceState("OracleService" + sid) != SERVICE_RUNNING)
    return "ORA-12560: TNS:protocol adapter error";
  if (!server.empty() && ServiceState(st.listener) != SERVICE_RUNNING) return "ORA-12541: TNS:no listener";
  // Only SYS (INTERNAL to Server Manager) is in the password file; Oracle 8 and 9 passwords
  // are not case-sensitive.
  std::string u = Upper(user), stored = ReadPasswordFile(home, sid);
  if ((u != "SYS" && u != "INTERNAL") || stored.empty() || Upper(password) != Upper(stored))
    return "ORA-01017: invalid username/password; logon denied";
  if (st.state == kDown && !(sysdba && idleOk)) return "ORA-01034: ORACLE not available";
  if (!sysdba && st.state != kOpen) return "ORA-01033: ORACLE initialization or shutdown in progress";
  return "";
}

std::string Logon(const std::string& home, const std::string& server, const std::string& user,
                  const std::string& password, bool sysdba, std::string& sid) {
  return CheckLogon(home, server, user, password, sysdba, false, sid);
}

std::string QueryView(const std::string& home, const std::string& sid, const std::string& view,
                      Table& out) {
  static const std::map<std::string, int> need = {
      {"v_$parameter", kStarted}, {"v_$logfile", kMounted},      {"v_$log", kMounted},
      {"dba_data_files", kOpen},  {"all_directories", kOpen}};
  auto n = need.find(view);
  if (n == need.end()) return "ORA-00942: table or view does not exist";
  HostLock lock(sid);
  HostState st;
  LoadHostState(home, sid, st);
  if (st.state == kDown) return "ORA-01034: ORACLE not available";
  // Dictionary tables need an open database whatever the state; fixed views need a mount.
  if (st.state < n->second)
    return n->second == kOpen ? "ORA-01219: database not open: queries allowed on fixed tables/views only"
                              : "ORA-01507: database not mounted";
  auto params = ReadParameters(home, sid);
  out = Table();
  if (view == "v_$parameter") {
    out.columns = {"NAME", "VALUE"};
    params.emplace("log_archive_dest", "");
    params.emplace("log_archive_dest_1", "");
    for (const auto& p : params) {
      std::string value = Unquote(p.second);
      if (p.first == "control_files") {
        value.clear();
        for (const auto& c : ControlFilePaths(params)) value += (value.empty() ? "" : ", ") + c;
      }
      out.rows.push_back({p.first, value});
    }
    return "";
  }
  ControlFile cf;
  auto paths = ControlFilePaths(params);
  if (paths.empty() || !ReadControlFile(paths[0], cf)) return "ORA-00210: cannot open the specified control file";
  if (view == "v_$logfile") {
    out.columns = {"GROUP#", "STATUS", "MEMBER"};
    for (const auto& g : cf.groups)
      for (const auto& m : g.members) out.rows.push_back({std::to_string(g.group), m.status, m.path});
  } else if (view == "v_$log") {
    out.columns = {"GROUP#", "THREAD#", "SEQUENCE#", "BYTES", "MEMBERS", "ARCHIVED", "STATUS", "FIRST_CHANGE#"};
    for (const auto& g : cf.groups)
      out.rows.push_back({std::to_string(g.group), "1", std::to_string(g.sequence), std::to_string(g.bytes),
                          std::to_string(g.members.size()), g.archived ? "YES" : "NO", g.status,
                          std::to_string(g.firstChange)});
  } else if (view == "dba_data_files") {
    out.columns = {"FILE_NAME", "FILE_ID", "TABLESPACE_NAME", "BYTES", "STATUS"};
    for (const auto& f : cf.files)
      out.rows.push_back({f.path, std::to_string(f.id), f.tablespace, std::to_string(f.bytes), "AVAILABLE"});
  } else {
    // Directory objects live in the dictionary, that is in the SYSTEM data file.
    out.columns = {"OWNER", "DIRECTORY_NAME", "DIRECTORY_PATH"};
    for (const auto& f : cf.files) {
      DataFile df;
      if (f.tablespace != "SYSTEM" || ReadDataFile(f.path, df) != 0) continue;
      for (const auto& rec : df.records)
        if (rec.compare(0, 4, "DIR ") == 0) {
          size_t sp = rec.find(' ', 4);
          out.rows.push_back({"SYS", rec.substr(4, sp - 4), rec.substr(sp + 1)});
        }
    }
  }
  return "";
}

}  // namespace sim
