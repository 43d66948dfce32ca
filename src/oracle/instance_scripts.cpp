// The scripts that change the instance's state, and the reading of their spool file.
#include <cctype>
#include <cstdio>
#include <cstring>
#include "app/globals.h"
#include "oracle/oracle.h"

int RunShutdownScript(const std::string& mode) {
  return RunToolScript({"shutdown " + (mode.empty() ? std::string("normal") : mode) + ";"},
                       ScriptVariant::Shutdown);
}

int RunStartupScript(const std::string& mode, const std::string& time) {
  // Only the exact "mount" means recovery; any other text is a plain startup option.
  if (mode != "mount") return RunToolScript({"startup " + mode + ";"}, ScriptVariant::Startup);
  std::vector<std::string> body = {"SET AUTORECOVERY ON;", "startup force mount;"};
  if (time.empty()) {
    body.insert(body.end(), {"recover automatic database;", "shutdown normal;", "startup open;"});
  } else {
    // A point-in-time recovery must open with new log sequence numbers.
    body.insert(body.end(), {"recover database until time '" + time + "';", "shutdown normal;",
                             "startup mount;", "alter database open resetlogs;"});
  }
  return RunToolScript(body, ScriptVariant::Startup);
}

int RunSwitchLogfileScript(int count) {
  std::vector<std::string> body;
  for (int i = 0; i < count; ++i) body.push_back("alter system switch logfile;");
  return RunToolScript(body, ScriptVariant::LogSwitch);
}

int SpoolLogContains(const std::string& text) {
  FILE* f = std::fopen(SpoolFileName().c_str(), "r");
  if (!f) return 0;
  // Oracle's messages are compared as whole lines with their line feed, so a message with
  // anything after it, or cut off without a line end, does not count.
  int count = 0;
  char piece[2000];
  while (std::fgets(piece, sizeof piece, f)) {
    const size_t n = std::strlen(piece);
    if (n != text.size()) continue;
    size_t i = 0;
    while (i < n && std::tolower(static_cast<unsigned char>(piece[i])) ==
                        std::tolower(static_cast<unsigned char>(text[i])))
      ++i;
    if (i == n) ++count;
  }
  std::fclose(f);
  return count;
}
