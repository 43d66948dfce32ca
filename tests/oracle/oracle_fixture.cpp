#include "oracle_fixture.h"

#include <algorithm>

#include "app/data_module.h"
#include "app/globals.h"
#include "app/main_form.h"
#include "log/log.h"
#include "oracle/oracle.h"

namespace kxtest {

void OracleTest::SetUp() {
  if (!MF) MF = new TMF;
  if (!DM) DM = new TDM;
  viewLinesBefore = MF->Memo1.Lines().size();
  LanguageCode = "E";
  SetMessageFragments(false);
  SetFixedClock(MakeTime(2003, 12, 9, 9, 5, 7));
  ServerSid = "ORCL";
  OracleHome = "C:\\ORACLE\\ORA81";
  VersionClass = 0;
  UserName = "scott";
  UserPass = "tiger";
  ServerName = "ORCL.WORLD";
  for (const char* f : {"c:\\sORCL.sql", "c:\\svrORCL.bat", "c:\\soORCL.bat"}) {
    DeleteFileA(f);
    RemoveDirectoryA(f);
  }
}

void OracleTest::TearDown() { ResetClock(); }

std::vector<std::string> OracleTest::NewViewLines() const {
  std::vector<std::string> all = MF->Memo1.Lines();
  return {all.begin() + std::min(viewLinesBefore, all.size()), all.end()};
}

std::vector<std::string> WorkLogFrom(const std::string& first) {
  std::vector<std::string> all = WorkLogTexts();
  auto it = std::find(all.begin(), all.end(), first);
  return {it, all.end()};
}

std::string CommandInterpreter() {
  char dir[MAX_PATH];
  GetSystemDirectoryA(dir, MAX_PATH);
  return std::string(dir) + "\\cmd.exe";
}

}  // namespace kxtest
