#include <gtest/gtest.h>

#include "app/globals.h"
#include "oracle/oracle.h"
#include "oracle_fixture.h"
#include "platform/waits.h"

using namespace kxtest;

namespace {

const char* const Head = "------Command String -------------";
const char* const Foot = "----------------------------------";

TEST_F(OracleTest, ToolCommandForEachReleaseClass) {
  struct Case {
    int versionClass;
    const char* home;
    const char* program;
    const char* commandLine;
    const char* scriptArgument;
    const char* logged;
  } cases[] = {
      {0, "C:\\ORACLE\\ORA81", "C:\\ORACLE\\ORA81\\BIN\\sqlplusw.exe",
       "C:\\ORACLE\\ORA81\\BIN\\sqlplusw.exe \"sys/tiger@ORCL.WORLD as sysdba\"", " @c:\\sORCL.sql",
       "C:\\ORACLE\\ORA81\\BIN\\sqlplusw.exe \"sys/********@ORCL.WORLD as sysdba\""},
      {2, "D:\\ORACLE\\ORA92", "D:\\ORACLE\\ORA92\\BIN\\sqlplusw.exe",
       "D:\\ORACLE\\ORA92\\BIN\\sqlplusw.exe \"sys/tiger@ORCL.WORLD as sysdba\"", " @c:\\sORCL.sql",
       "D:\\ORACLE\\ORA92\\BIN\\sqlplusw.exe \"sys/********@ORCL.WORLD as sysdba\""},
      // A release that was not recognised is run as 8.1.
      {3, "E:\\ORA", "E:\\ORA\\BIN\\sqlplusw.exe", "E:\\ORA\\BIN\\sqlplusw.exe \"sys/tiger@ORCL.WORLD as sysdba\"",
       " @c:\\sORCL.sql", "E:\\ORA\\BIN\\sqlplusw.exe \"sys/********@ORCL.WORLD as sysdba\""},
      {1, "C:\\ORANT", "c:\\svrORCL.bat", "c:\\svrORCL.bat", "", "c:\\svrORCL.bat"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.versionClass);
    VersionClass = c.versionClass;
    OracleHome = c.home;
    BuildToolCommand();
    EXPECT_EQ(ToolProgram, c.program);
    EXPECT_EQ(ToolCommandLine, c.commandLine);
    EXPECT_EQ(ToolScriptArgument, c.scriptArgument);
    std::vector<std::string> log = WorkLogTexts();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
              (std::vector<std::string>{Head, c.logged, Foot}));
  }
  // The command line keeps the password; the plain-text work log never gets it.
  EXPECT_EQ(ReadFileBytes("ou091203.log").find("tiger"), std::string::npos);
  EXPECT_EQ(ReadFileBytes("c:\\svrORCL.bat"), "SET %ORACLE_SID=ORCL\r\nC:\\ORANT\\BIN\\svrmgr30.exe @c:\\sORCL.sql");
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(OracleTest, Release80BatchThatCannotBeCreatedIsReportedWithoutCommandLines) {
  VersionClass = 1;
  OracleHome = "C:\\ORANT";
  ASSERT_TRUE(CreateDirectoryA("c:\\svrORCL.bat", nullptr));
  BuildToolCommand();
  RemoveDirectoryA("c:\\svrORCL.bat");
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].text, "It's impossible to create file c:\\svrORCL.bat.  Processing is not possible!");
  EXPECT_EQ(boxes.calls[0].caption, "ERROR!");
  EXPECT_EQ(WorkLogTexts(), (std::vector<std::string>{boxes.calls[0].text}));
  // The Server Manager line is left as the program, so every later run fails at its start.
  EXPECT_EQ(ToolProgram, "C:\\ORANT\\BIN\\svrmgr30.exe @c:\\sORCL.sql");
  EXPECT_EQ(RunShutdownScript("immediate"), -2);
  EXPECT_EQ(boxes.calls.back().text,
            "It's impossible to run C:\\ORANT\\BIN\\svrmgr30.exe @c:\\sORCL.sql  to shutdown database!");
}

// The stand-in tool is the command interpreter: it "spools" the script it is given, so the
// spool copy shows that the script argument reached it and the current directory was ours.
void UseTypingTool() {
  ToolProgram = CommandInterpreter();
  ToolCommandLine = "cmd.exe /c type";
  ToolScriptArgument = " c:\\sORCL.sql > svrORCL.log";
}

TEST_F(OracleTest, ScriptRunLogsScriptAndSpoolBetweenBanners) {
  UseTypingTool();
  ASSERT_EQ(RunShutdownScript("immediate"), 0);
  const std::vector<std::string> script = {"spool off;", "spool svrORCL.log;", "shutdown immediate;", "exit;"};
  std::vector<std::string> expected = {"---------- Run c:\\sORCL.sql ---------"};
  expected.insert(expected.end(), script.begin(), script.end());
  expected.push_back("------------- Results ------------");
  expected.insert(expected.end(), script.begin(), script.end());
  expected.push_back("------------ End -----------------");
  EXPECT_EQ(WorkLogTexts(), expected);
  // The log view gets the same lines; the work log's entries carry their two-blank indent.
  std::vector<std::string> view;
  for (const std::string& line : expected) view.push_back(line.compare(0, 3, "---") == 0 ? "  " + line : line);
  EXPECT_EQ(NewViewLines(), view);
  EXPECT_EQ(ReadFileBytes("svrORCL.log"), ReadFileBytes("c:\\sORCL.sql"));
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(OracleTest, ToolWithoutSpoolLeavesResultsDirectlyBeforeEnd) {
  ToolProgram = CommandInterpreter();
  ToolCommandLine = "cmd.exe /c rem";
  ToolScriptArgument = "";
  ASSERT_EQ(RunStartupScript("open", ""), 0);
  std::vector<std::string> log = WorkLogTexts();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], "------------- Results ------------");
  EXPECT_EQ(log.back(), "------------ End -----------------");
}

TEST_F(OracleTest, ToolThatOutlivesTheWaitIsLeftAndTheRunGoesOn) {
  ToolProgram = CommandInterpreter();
  // Writes its spool only after the wait has run out.
  ToolCommandLine = "cmd.exe /c ping -n 4 127.0.0.1 >nul & echo late> svrORCL.log";
  ToolScriptArgument = "";
  const DWORD saved = ui::Waits.toolMs;
  ui::Waits.toolMs = 300;
  const DWORD start = GetTickCount();
  const int result = RunStartupScript("open", "");
  const DWORD took = GetTickCount() - start;
  ui::Waits.toolMs = saved;
  EXPECT_EQ(result, 0);
  EXPECT_LT(took, 2500u);
  std::vector<std::string> log = WorkLogTexts();
  EXPECT_EQ(log[log.size() - 2], "------------- Results ------------");
  EXPECT_EQ(log.back(), "------------ End -----------------");
  for (int i = 0; i < 100 && !FileExists("svrORCL.log"); ++i) Sleep(100);
  EXPECT_TRUE(FileExists("svrORCL.log"));
}

TEST_F(OracleTest, ScriptAndToolFailuresPerVariant) {
  struct Case {
    const char* name;
    int (*run)();
    const char* noScript;
    const char* noTool;
  } cases[] = {
      {"shutdown", [] { return RunShutdownScript("transactional"); },
       "It's impossible to create file c:\\sORCL.sql.  Processing is not possible!",
       "It's impossible to run C:\\NOWHERE\\sqlplusw.exe  to shutdown database!"},
      {"startup", [] { return RunStartupScript("force", ""); },
       "It's impossible to create file c:\\sORCL.sql.  Processing is not possible!",
       "It's impossible to run C:\\NOWHERE\\sqlplusw.exe to startup and open database!"},
      {"log switch", [] { return RunSwitchLogfileScript(2); }, "It's impossible to create file c:\\sORCL.sql",
       "It's impossible to run C:\\NOWHERE\\sqlplusw.exe to startup and open database!"},
  };
  ToolProgram = "C:\\NOWHERE\\sqlplusw.exe";
  ToolCommandLine = ToolProgram;
  ToolScriptArgument = " @c:\\sORCL.sql";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    boxes.calls.clear();
    DeleteFileA("c:\\sORCL.sql");
    ASSERT_TRUE(CreateDirectoryA("c:\\sORCL.sql", nullptr));
    EXPECT_EQ(c.run(), -1);
    RemoveDirectoryA("c:\\sORCL.sql");
    EXPECT_EQ(c.run(), -2);
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[0].text, c.noScript);
    EXPECT_EQ(boxes.calls[1].text, c.noTool);
    EXPECT_EQ(boxes.calls[1].caption, "ERROR!");
    // A run that never started leaves its script for inspection, the log switch's too.
    EXPECT_TRUE(FileExists("c:\\sORCL.sql"));
    EXPECT_EQ(WorkLogTexts().back(), c.noTool);
  }
}

TEST_F(OracleTest, SpoolCopyKeepsBytesAndSplitsLongLinesInTheView) {
  const std::string longLine(700, 'x');
  WriteFileBytes("spool.txt", "first\r\n" + longLine + "\r\n\r\nlast without end");
  AppendSpoolToWorkLog("spool.txt");
  EXPECT_EQ(ReadFileBytes("ou091203.log"), "first\r\n" + longLine + "\r\n\r\nlast without end");
  EXPECT_EQ(NewViewLines(), (std::vector<std::string>{"first", std::string(499, 'x'), std::string(201, 'x'), "",
                                                       "last without end"}));
  // A missing file copies nothing and reports nothing.
  AppendSpoolToWorkLog("missing.txt");
  EXPECT_EQ(NewViewLines().size(), 5u);
  EXPECT_TRUE(boxes.calls.empty());
}

}  // namespace
