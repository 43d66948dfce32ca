// Which parameter file the instance starts from, found through its init file in the Oracle home.
#include "app/globals.h"
#include "config/config.h"

// The quoted path of IFILE='...' or SPFILE='...' without its first and last characters.
static std::string Unquoted(const std::string& v) {
  return v.size() < 2 ? std::string() : v.substr(1, v.size() - 2);
}

void FindParameterFiles() {
  std::string f = OracleHome + "\\DATABASE\\init" + ServerSid + ".ora";
  // Looked up in this order; each one found overrides the ones before.
  if (!ReadConfigValue(f, "db_name").empty()) {
    InitOraPath = f;
    SpfileOraPath.clear();
  }
  std::string v = ReadConfigValue(f, "IFILE");
  if (!v.empty()) {
    InitOraPath = Unquoted(v);
    SpfileOraPath.clear();
  }
  v = ReadConfigValue(f, "SPFILE");
  if (!v.empty()) {
    InitOraPath.clear();
    SpfileOraPath = Unquoted(v);
  }
}
