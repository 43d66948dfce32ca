#include <gtest/gtest.h>

#include <functional>

#include "app/globals.h"
#include "oracle/oracle.h"
#include "oracle_fixture.h"

using namespace kxtest;

namespace {

std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\r\n";
  return s;
}

TEST_F(OracleTest, ScriptFilesByteForByte) {
  const char* const time = "2003-12-09:10:00:00";
  struct Case {
    const char* name;
    int versionClass;
    std::function<int()> run;
    std::vector<std::string> body;
    bool scriptKept;
  } cases[] = {
      {"empty shutdown mode", 0, [] { return RunShutdownScript(""); }, {"shutdown normal;"}, true},
      {"transactional", 0, [] { return RunShutdownScript("transactional"); }, {"shutdown transactional;"}, true},
      {"open ignores the time", 0, [&] { return RunStartupScript("open", time); }, {"startup open;"}, true},
      {"mount in capitals", 0, [] { return RunStartupScript("MOUNT", ""); }, {"startup MOUNT;"}, true},
      {"complete recovery", 2, [] { return RunStartupScript("mount", ""); },
       {"SET AUTORECOVERY ON;", "startup force mount;", "recover automatic database;", "shutdown normal;",
        "startup open;"},
       true},
      {"point-in-time recovery", 0, [&] { return RunStartupScript("mount", time); },
       {"SET AUTORECOVERY ON;", "startup force mount;", "recover database until time '2003-12-09:10:00:00';",
        "shutdown normal;", "startup mount;", "alter database open resetlogs;"},
       true},
      {"no log switch", 0, [] { return RunSwitchLogfileScript(0); }, {}, false},
      {"negative count", 0, [] { return RunSwitchLogfileScript(-1); }, {}, false},
      {"three log switches", 0, [] { return RunSwitchLogfileScript(3); },
       {"alter system switch logfile;", "alter system switch logfile;", "alter system switch logfile;"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VersionClass = c.versionClass;
    ToolProgram = CommandInterpreter();
    ToolCommandLine = "cmd.exe /c rem";
    ToolScriptArgument = "";
    DeleteFileA("ou091203.log");
    std::vector<std::string> script = {"spool off;", "spool svrORCL.log;"};
    script.insert(script.end(), c.body.begin(), c.body.end());
    script.push_back("exit;");
    ASSERT_EQ(c.run(), 0);
    if (c.scriptKept)
      EXPECT_EQ(ReadFileBytes("c:\\sORCL.sql"), CrLfLines(script));
    else
      EXPECT_FALSE(FileExists("c:\\sORCL.sql"));
    // Whether kept or not, the script is in the work log between its banners.
    std::vector<std::string> logged = WorkLogTexts();
    ASSERT_EQ(logged.size(), script.size() + 3);
    EXPECT_EQ(std::vector<std::string>(logged.begin() + 1, logged.begin() + 1 + script.size()), script);
  }
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(OracleTest, Release80ScriptsConnectBeforeTheySpool) {
  VersionClass = 1;
  ToolProgram = CommandInterpreter();
  ToolCommandLine = "cmd.exe /c rem";
  ToolScriptArgument = "";
  ASSERT_EQ(RunShutdownScript("immediate"), 0);
  EXPECT_EQ(ReadFileBytes("c:\\sORCL.sql"),
            "spool off;\r\nconnect scott/tiger@ORCL.WORLD;\r\nspool svrORCL.log;\r\nshutdown immediate;\r\nexit;\r\n");
}

TEST_F(OracleTest, SpoolLogContainsCountsWholeLinesWithoutRegardToCase) {
  const std::string down = "ORACLE instance shut down.\n";
  struct Case {
    const char* name;
    const char* spool;  // nullptr: no spool file
    const char* text;
    int count;
  } cases[] = {
      {"exact", "Database closed.\r\nDatabase dismounted.\r\nORACLE instance shut down.\r\n", "", 1},
      {"mixed case", "oracle INSTANCE Shut Down.\r\n", "", 1},
      {"trailing blank", "ORACLE instance shut down. \r\n", "", 0},
      {"last line without line end", "Database closed.\r\nORACLE instance shut down.", "", 0},
      {"twice", "ORACLE instance shut down.\r\nX\r\nORACLE instance shut down.\r\n", "", 2},
      {"line feed only", "ORACLE instance shut down.\n", "", 1},
      {"inside a longer line", "ORA-01034: ORACLE instance shut down.\r\n", "", 0},
      {"no spool file", nullptr, "", 0},
      {"opened twice", "Database mounted.\r\nDatabase opened.\r\nDatabase opened.\r\n", "Database opened.\n", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileA("svrORCL.log");
    if (c.spool) WriteFileBytes("svrORCL.log", c.spool);
    EXPECT_EQ(SpoolLogContains(*c.text ? c.text : down), c.count);
  }
}

}  // namespace
