// The tool stand-in run as kantrix runs it: a script in c:\s<SID>.sql, the spool file in the
// current directory, SQL*Plus logged on from its command line, Server Manager from the script.
#include <gtest/gtest.h>

#include <fstream>

#include "engine.h"
#include "host_fixture.h"

namespace {

using Lines = std::vector<std::string>;

const char* kHome = "C:\\ORACLE\\ORA81";
const Lines kStarted = {"ORACLE instance started.",
                        "",
                        "Total System Global Area   38322124 bytes",
                        "Fixed Size                    65484 bytes",
                        "Variable Size              21405696 bytes",
                        "Database Buffers           16777216 bytes",
                        "Redo Buffers                  73728 bytes"};
const Lines kClosed = {"Database closed.", "Database dismounted.", "ORACLE instance shut down."};

Lines Plus(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class ToolTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(simtest::Simctl("setup --release 8.1 --copies C:\\KXSIMCOPIES --password pw81"), 0);
  }
  void SetUp() override {
    CreateDirectoryA(dir.c_str(), nullptr);
    DeleteFileA(Spool().c_str());
  }
  std::string dir = "C:\\KXSIMWORK";
  std::string Spool() const { return dir + "\\svrORCL.log"; }

  // Writes the script as kantrix does and runs the tool on it; the tool's exit code.
  int RunScript(const Lines& body, const std::string& logon = "sys/pw81@ORCL as sysdba") {
    std::ofstream s("c:\\sORCL.sql");
    s << "spool off;\n";
    s << "spool svrORCL.log;\n";
    for (const auto& l : body) s << l << "\n";
    s << "exit;\n";
    s.close();
    return simtest::Run(std::string(kHome) + "\\BIN\\sqlplusw.exe \"" + logon + "\" @c:\\sORCL.sql", dir);
  }
  Lines SpoolLines() { return simtest::ReadLines(Spool()); }
  int State() {
    sim::HostState st;
    sim::LoadHostState(kHome, "ORCL", st);
    return st.state;
  }
  std::vector<long long> Numbers() {
    std::vector<sim::Row> rows;
    EXPECT_EQ(sim::ListRows(kHome, "ORCL", rows), "");
    std::vector<long long> n;
    for (const auto& r : rows) n.push_back(r.number);
    return n;
  }
  void CopyDataFiles(bool back) {
    for (const char* f : {"SYSTEM01.DBF", "RBS01.DBF", "USERS01.DBF", "TEMP01.DBF"}) {
      std::string live = std::string("C:\\ORACLE\\ORADATA\\ORCL\\") + f, saved = dir + "\\" + f;
      ASSERT_TRUE(CopyFileA((back ? saved : live).c_str(), (back ? live : saved).c_str(), FALSE)) << f;
    }
  }
};

TEST_F(ToolTest, EachStatementWritesTheToolsLinesToTheSpoolWithWindowsLineEnds) {
  struct Case { Lines body; Lines spool; };
  const Case cases[] = {
      {{"shutdown immediate;"}, kClosed},
      {{"shutdown normal;"}, {"ORA-01034: ORACLE not available"}},
      {{"startup open;"}, Plus(kStarted, {"Database mounted.", "Database opened."})},
      {{"startup open;"}, {"ORA-01081: cannot start already-running ORACLE - shut it down first"}},
      {{"alter system switch logfile;", "alter system switch logfile;"}, {"System altered.", "System altered."}},
      {{"shutdown transactional;"}, kClosed},
      {{"startup mount;", "alter system switch logfile;", "shutdown normal;"},
       Plus(kStarted, {"Database mounted.", "ORA-01109: database not open", "ORA-01109: database not open", "",
                       "Database dismounted.",
                       "ORACLE instance shut down."})},
      {{"startup mount;", "SET AUTORECOVERY ON;", "recover automatic database;", "alter database open resetlogs;",
        "shutdown abort;"},
       Plus(kStarted, {"Database mounted.", "ORA-00283: recovery session canceled due to errors",
                       "ORA-00264: no recovery required",
                       "ORA-01139: RESETLOGS option only valid after an incomplete database recovery",
                       "ORACLE instance shut down."})},
      {{"startup force;", "shutdown abort;", "startup force mount;"},
       Plus(Plus(Plus(kStarted, {"Database mounted.", "Database opened.", "ORACLE instance shut down."}), kStarted),
            {"Database mounted."})},
      {{"startup force;"}, Plus(kStarted, {"Database mounted.", "Database opened."})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body[0]);
    ASSERT_EQ(RunScript(c.body), 0);
    EXPECT_EQ(SpoolLines(), c.spool);
  }
  std::string raw = simtest::ReadAll(Spool());
  EXPECT_NE(raw.find("Database opened.\r\n"), std::string::npos);
  EXPECT_EQ(raw.find("\n\n"), std::string::npos);
}

TEST_F(ToolTest, TheToolEndsAtExitAndALogonFailureRunsNothing) {
  ASSERT_EQ(RunScript({"exit;", "shutdown abort;"}), 0);
  EXPECT_EQ(State(), sim::kOpen);
  EXPECT_TRUE(SpoolLines().empty());

  DeleteFileA(Spool().c_str());
  EXPECT_NE(RunScript({"shutdown abort;"}, "sys/wrong@ORCL as sysdba"), 0);
  EXPECT_FALSE(simtest::Exists(Spool()));
  EXPECT_EQ(State(), sim::kOpen);

  EXPECT_NE(RunScript({"shutdown abort;"}, "sys/pw81@NOSUCH as sysdba"), 0);
  EXPECT_FALSE(simtest::Exists(Spool()));
  ASSERT_EQ(simtest::Net("stop", "OracleOraHome81TNSListener"), 0);
  EXPECT_NE(RunScript({"shutdown abort;"}), 0);
  EXPECT_FALSE(simtest::Exists(Spool()));
  EXPECT_EQ(State(), sim::kOpen);
  ASSERT_EQ(simtest::Net("start", "OracleOraHome81TNSListener"), 0);
}

TEST_F(ToolTest, KantrixRecoveryScriptsRestoreEveryRowOrExactlyThoseBeforeTheTime) {
  // A cold copy, then work with log switches, then the copy put back.
  ASSERT_EQ(RunScript({"shutdown immediate;"}), 0);
  CopyDataFiles(false);
  ASSERT_EQ(RunScript({"startup open;"}), 0);
  ASSERT_EQ(simtest::Simctl("workload --rows 4 --switch-every 2"), 0);
  Sleep(1100);
  std::string until = sim::NowText();
  Sleep(1100);
  ASSERT_EQ(simtest::Simctl("workload --rows 5 --switch-every 2"), 0);
  ASSERT_EQ(RunScript({"shutdown immediate;"}), 0);
  CopyDataFiles(true);

  ASSERT_EQ(RunScript({"startup open;"}), 0);
  EXPECT_EQ(SpoolLines().back(), "ORA-01110: data file 1: 'C:\\ORACLE\\ORADATA\\ORCL\\SYSTEM01.DBF'");
  ASSERT_EQ(RunScript({"SET AUTORECOVERY ON;", "startup force mount;", "recover automatic database;",
                       "shutdown normal;", "startup open;"}), 0);
  Lines spool = SpoolLines();
  EXPECT_EQ(std::count(spool.begin(), spool.end(), "Media recovery complete."), 1);
  EXPECT_EQ(std::count(spool.begin(), spool.end(), "Database opened."), 1);
  EXPECT_EQ(spool.back(), "Database opened.");
  EXPECT_EQ(Numbers(), (std::vector<long long>{1, 2, 3, 4, 5, 6, 7, 8, 9}));

  ASSERT_EQ(RunScript({"shutdown immediate;"}), 0);
  CopyDataFiles(true);
  ASSERT_EQ(RunScript({"SET AUTORECOVERY ON;", "startup force mount;",
                       "recover database until time '" + until + "';", "shutdown normal;",
                       "startup mount;", "alter database open resetlogs;"}), 0);
  spool = SpoolLines();
  EXPECT_EQ(std::count(spool.begin(), spool.end(), "Media recovery complete."), 1);
  EXPECT_EQ(spool.back(), "Database altered.");
  EXPECT_EQ(Numbers(), (std::vector<long long>{1, 2, 3, 4}));
}

TEST_F(ToolTest, InjectedFaultsMakeShutdownAndStartupFailOrHang) {
  ASSERT_EQ(simtest::Simctl("fault shutdown-transactional fail"), 0);
  ASSERT_EQ(RunScript({"shutdown transactional;"}), 0);
  EXPECT_EQ(SpoolLines(), Lines{"ORA-01097: cannot shutdown while in a transaction - commit or rollback first"});
  EXPECT_EQ(State(), sim::kOpen);
  ASSERT_EQ(simtest::Simctl("fault shutdown-transactional"), 0);

  // A hanging shutdown keeps the tool running and the instance open; others can still work.
  ASSERT_EQ(simtest::Simctl("fault shutdown-immediate hang"), 0);
  std::ofstream("c:\\sORCL.sql") << "spool svrORCL.log;\nshutdown immediate;\nexit;\n";
  EXPECT_EQ(simtest::Run(std::string(kHome) + "\\BIN\\sqlplusw.exe \"sys/pw81@ORCL as sysdba\" @c:\\sORCL.sql", dir, 3), -1);
  EXPECT_EQ(State(), sim::kOpen);
  ASSERT_EQ(simtest::Simctl("fault shutdown-immediate"), 0);
  ASSERT_EQ(simtest::Simctl("workload --rows 1"), 0);

  ASSERT_EQ(simtest::Simctl("fault startup fail"), 0);
  ASSERT_EQ(RunScript({"shutdown abort;", "startup open;"}), 0);
  EXPECT_EQ(SpoolLines(), (Lines{"ORACLE instance shut down.", "ORA-27101: shared memory realm does not exist"}));
  EXPECT_EQ(State(), sim::kDown);
  ASSERT_EQ(simtest::Simctl("fault startup"), 0);
  ASSERT_EQ(RunScript({"startup open;"}), 0);
  EXPECT_EQ(SpoolLines().back(), "Database opened.");

  ASSERT_EQ(simtest::Simctl("fault invalid-member C:\\KXSIMCOPIES\\REDO02B.LOG"), 0);
  sim::Table t;
  ASSERT_EQ(sim::QueryView(kHome, "ORCL", "v_$logfile", t), "");
  ASSERT_EQ(t.rows.size(), 6u);
  EXPECT_EQ(t.rows[3], (std::vector<std::string>{"2", "INVALID", "C:\\KXSIMCOPIES\\REDO02B.LOG"}));
  EXPECT_EQ(t.rows[2][1], "");
}

TEST(ServerManager, ConnectsFromTheScriptWithTheSidOfTheEnvironment) {
  ASSERT_EQ(simtest::Simctl("setup --release 8.0 --copies C:\\KXSIMCOPIES --password pw80"), 0);
  std::string dir = "C:\\KXSIMWORK", spool = dir + "\\svrORCL.log";
  CreateDirectoryA(dir.c_str(), nullptr);
  SetEnvironmentVariableA("ORACLE_SID", "ORCL");
  auto run = [&](const std::string& password) {
    DeleteFileA(spool.c_str());
    std::ofstream s("c:\\sORCL.sql");
    s << "spool off;\nconnect internal/" << password << "@ORCL;\nspool svrORCL.log;\nshutdown immediate;\nexit;\n";
    s.close();
    return simtest::Run("C:\\ORANT\\BIN\\svrmgr30.exe @c:\\sORCL.sql", dir);
  };
  run("wrong");
  EXPECT_FALSE(simtest::Exists(spool));
  EXPECT_EQ(sim::ServiceState("OracleStartORCL"), (DWORD)SERVICE_RUNNING);
  ASSERT_EQ(run("pw80"), 0);
  EXPECT_EQ(simtest::ReadLines(spool), kClosed);
  SetEnvironmentVariableA("ORACLE_SID", nullptr);
}

}  // namespace
