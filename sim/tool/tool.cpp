// The Oracle command-line tool stand-in: logs on as the real tool does (SQL*Plus from its
// command line, Server Manager from the script's connect line), then carries out the script's
// statements against the instance and writes the tool's answers to the console and the spool.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "engine.h"

namespace {

struct Session {
  std::string home, sid;
  bool connected = false;
  FILE* spool = nullptr;
};

void Print(Session& s, const sim::Lines& lines) {
  for (const auto& l : lines) {
    printf("%s\n", l.c_str());
    if (s.spool) fprintf(s.spool, "%s\n", l.c_str());
  }
  fflush(stdout);
  if (s.spool) fflush(s.spool);
}

std::string Normalized(const std::string& statement) {
  std::string out;
  for (char c : statement) {
    if (c == '\t' || c == '\r') c = ' ';
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += (char)tolower((unsigned char)c);
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == ';')) out.pop_back();
  return out;
}

// "user/password@alias [as sysdba]": the parts, with the alias "" for a local logon.
void SplitLogon(std::string text, std::string& user, std::string& password, std::string& alias,
                bool& sysdba) {
  std::string lower = Normalized(text);
  size_t as = lower.find(" as sys");
  sysdba = as != std::string::npos;
  if (sysdba) text = text.substr(0, as);
  size_t slash = text.find('/'), at = text.find('@');
  user = text.substr(0, std::min(slash, at));
  password = slash == std::string::npos ? "" : text.substr(slash + 1, at == std::string::npos ? std::string::npos : at - slash - 1);
  alias = at == std::string::npos ? "" : text.substr(at + 1);
}

bool Connect(Session& s, const std::string& logon, bool forceSysdba) {
  std::string user, password, alias, sid;
  bool sysdba = false;
  SplitLogon(logon, user, password, alias, sysdba);
  std::string err = sim::CheckLogon(s.home, alias, user, password, sysdba || forceSysdba, true, sid);
  if (!err.empty()) {
    Print(s, {"ERROR:", err, ""});
    return false;
  }
  s.sid = sid;
  s.connected = true;
  Print(s, {"Connected."});
  return true;
}

// One statement; false when the tool ends (exit, or a failed connect of Server Manager).
bool Execute(Session& s, const std::string& raw, bool serverManager) {
  std::string st = Normalized(raw);
  sim::Lines out;
  if (st.empty() || st.compare(0, 4, "set ") == 0 || st.compare(0, 3, "rem") == 0) return true;
  if (st == "exit" || st == "quit") return false;
  if (st == "spool off") {
    if (s.spool) fclose(s.spool);
    s.spool = nullptr;
    return true;
  }
  if (st.compare(0, 6, "spool ") == 0) {
    if (s.spool) fclose(s.spool);
    std::string name = raw.substr(raw.find_first_not_of(" \t", raw.find_first_of(" \t")));
    while (!name.empty() && (name.back() == ';' || name.back() == ' ' || name.back() == '\r')) name.pop_back();
    s.spool = fopen(name.c_str(), "w");
    if (!s.spool) Print(s, {"SP2-0606: Cannot create SPOOL file \"" + name + "\""});
    return true;
  }
  if (st.compare(0, 8, "connect ") == 0) {
    std::string logon = raw.substr(raw.find_first_not_of(" \t", 7));
    while (!logon.empty() && (logon.back() == ';' || logon.back() == ' ' || logon.back() == '\r')) logon.pop_back();
    return Connect(s, logon, serverManager) || !serverManager;
  }
  if (!s.connected) {
    Print(s, {"ORA-01012: not logged on"});
    return true;
  }
  if (st == "shutdown" || st.compare(0, 9, "shutdown ") == 0) {
    std::string mode = st.size() > 9 ? st.substr(9) : "normal";
    sim::ShutdownInstance(s.home, s.sid, mode, out);
  } else if (st == "startup" || st.compare(0, 8, "startup ") == 0) {
    std::string opts = " " + st.substr(7) + " ";
    bool force = opts.find(" force ") != std::string::npos;
    std::string mode = opts.find(" nomount ") != std::string::npos ? "nomount"
                       : opts.find(" mount ") != std::string::npos ? "mount" : "open";
    sim::StartupInstance(s.home, s.sid, mode, force, out);
  } else if (st.compare(0, 8, "recover ") == 0) {
    std::string until;
    size_t q = raw.find('\'');
    if (st.find(" until time ") != std::string::npos && q != std::string::npos)
      until = raw.substr(q + 1, raw.find('\'', q + 1) - q - 1);
    sim::RecoverDatabase(s.home, s.sid, until, out);
  } else if (st == "alter database open resetlogs") {
    sim::OpenResetlogs(s.home, s.sid, out);
  } else if (st == "alter system switch logfile") {
    sim::SwitchLogfile(s.home, s.sid, out);
  } else {
    out.push_back("ORA-00900: invalid SQL statement");
  }
  Print(s, out);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Session s;
  s.home = sim::ProgramOracleHome();
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  bool serverManager = sim::Upper(exe).find("SVRMGR") != std::string::npos;
  std::string script;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a[0] == '@') {
      script = a.substr(1);
    } else if (!serverManager && !s.connected && !Connect(s, a, false)) {
      // SQL*Plus refuses to go on with a failed logon: nothing of the script runs.
      return 1;
    }
  }
  std::ifstream in(script);
  if (!script.empty() && !in) Print(s, {"SP2-0310: unable to open file \"" + script + "\""});
  std::string line;
  bool running = true;
  while (running && std::getline(in, line)) running = Execute(s, line, serverManager);
  // A script without exit leaves the tool at its prompt, reading the console.
  while (running && std::getline(std::cin, line)) running = Execute(s, line, serverManager);
  if (s.spool) fclose(s.spool);
  return 0;
}
