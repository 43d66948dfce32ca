// setup builds a whole host for each release; its services start, stop and fail as Oracle's do.
#include <gtest/gtest.h>

#include "engine.h"
#include "host_fixture.h"

namespace {

using simtest::Exists;
using simtest::ReadAll;

using simtest::ServiceStateOf;
using simtest::Simctl;

const char* kCopies = "C:\\KXSIMCOPIES";

struct ReleaseCase {
  const char* release;
  const char* home;
  const char* tool;
  const char* listener;
  const char* dataFile1;
  const char* alertLog;
};

const ReleaseCase kCases[] = {
    {"8.0", "C:\\ORANT", "svrmgr30.exe", "OracleTNSListener80", "C:\\ORANT\\DATABASE\\SYS1ORCL.ORA",
     "C:\\ORANT\\RDBMS80\\TRACE\\ORCLALRT.LOG"},
    {"8.1", "C:\\ORACLE\\ORA81", "sqlplusw.exe", "OracleOraHome81TNSListener",
     "C:\\ORACLE\\ORADATA\\ORCL\\SYSTEM01.DBF", "C:\\ORACLE\\ADMIN\\ORCL\\BDUMP\\ORCLALRT.LOG"},
    {"9i", "C:\\ORACLE\\ORA92", "sqlplusw.exe", "OracleOraHome92TNSListener",
     "C:\\ORACLE\\ORADATA\\ORCL\\SYSTEM01.DBF", "C:\\ORACLE\\ADMIN\\ORCL\\BDUMP\\ORCLALRT.LOG"}};

std::string Query(const std::string& home, const std::string& view, size_t column) {
  sim::Table t;
  std::string err = sim::QueryView(home, "ORCL", view, t);
  if (!err.empty()) return err;
  std::string all;
  for (const auto& r : t.rows) all += (all.empty() ? "" : "|") + r[column];
  return all;
}

TEST(SimHost, SetupBuildsEveryReleaseWithItsRegistryFilesAndRunningServices) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.release);
    ASSERT_EQ(Simctl(std::string("setup --release ") + c.release + " --copies " + kCopies +
                     " --password Secret9"), 0);
    std::string home = c.home;
    EXPECT_EQ(simtest::RegistryValue("SOFTWARE\\ORACLE", "ORACLE_HOME"), home);
    EXPECT_EQ(simtest::RegistryValue("SOFTWARE\\ORACLE\\HOME0", "NLS_LANG"), "AMERICAN_AMERICA.CL8MSWIN1251");
    EXPECT_EQ(simtest::RegistryValue("SOFTWARE\\ORACLE\\HOME0", "ORACLE_SID"), "ORCL");
    EXPECT_TRUE(Exists(home + "\\BIN\\" + c.tool));
    EXPECT_TRUE(Exists(home + "\\BIN\\simsvc.exe"));
    EXPECT_EQ(ReadAll(home + "\\DATABASE\\PWDORCL.ORA").find("Secret9") != std::string::npos, true);
    EXPECT_NE(ReadAll(home + "\\NETWORK\\ADMIN\\tnsnames.ora").find("(SID = ORCL)"), std::string::npos);
    auto init = simtest::ReadLines(home + "\\DATABASE\\initORCL.ora");
    ASSERT_FALSE(init.empty());
    if (std::string(c.release) == "9i") {
      EXPECT_EQ(init, std::vector<std::string>{"SPFILE='" + home + "\\DATABASE\\SPFILEORCL.ORA'"});
      EXPECT_NE(ReadAll(home + "\\DATABASE\\SPFILEORCL.ORA").find("db_name = ORCL"), std::string::npos);
    } else {
      EXPECT_EQ(init[0], "db_name = ORCL");
    }
    EXPECT_EQ(ServiceStateOf("OracleServiceORCL"), (DWORD)SERVICE_RUNNING);
    EXPECT_EQ(ServiceStateOf(c.listener), (DWORD)SERVICE_RUNNING);
    EXPECT_EQ(ServiceStateOf("OracleStartORCL"),
              std::string(c.release) == "8.0" ? (DWORD)SERVICE_RUNNING : 0u);
    // The instance is open and follows the storage rule: one control file and one member of
    // every group in the copies directory, paths in upper case.
    std::string sid;
    EXPECT_EQ(sim::Logon(home, "ORCL", "sys", "secret9", true, sid), "");
    EXPECT_EQ(Query(home, "dba_data_files", 0).compare(0, strlen(c.dataFile1), c.dataFile1), 0);
    std::string members = Query(home, "v_$logfile", 2);
    EXPECT_NE(members.find("C:\\KXSIMCOPIES\\"), std::string::npos) << members;
    EXPECT_EQ(members, sim::Upper(members));
    sim::Table p;
    ASSERT_EQ(sim::QueryView(home, "ORCL", "v_$parameter", p), "");
    for (const auto& r : p.rows)
      if (r[0] == "control_files") EXPECT_NE(r[1].find(", C:\\KXSIMCOPIES\\"), std::string::npos) << r[1];
    EXPECT_EQ(Query(home, "all_directories", 2), std::string(c.release) == "8.0" ? "C:\\ORANT\\ARCHIV\\" : "C:\\ORACLE\\ARCHIV\\");
    EXPECT_NE(ReadAll(c.alertLog).find("Starting ORACLE instance"), std::string::npos);
  }
}

TEST(SimHost, LayoutOptionsBreakTheStorageRuleAndChangeTheArchiveSyntax) {
  ASSERT_EQ(Simctl(std::string("setup --release 8.1 --copies ") + kCopies +
                   " --break redo --archive-location --lower-copies --no-start"), 0);
  const std::string home = "C:\\ORACLE\\ORA81";
  auto params = sim::ReadParameters(home, "ORCL");
  EXPECT_EQ(params["log_archive_dest_1"], "\"LOCATION=C:\\ORACLE\\ORADATA\\ORCL\\ARCHIVE\"");
  EXPECT_EQ(params.count("log_archive_dest"), 0u);
  EXPECT_EQ(ServiceStateOf("OracleServiceORCL"), (DWORD)SERVICE_STOPPED);
  ASSERT_EQ(Simctl("setup --release 8.1 --copies C:\\KXSIMCOPIES --lower-copies"), 0);
  std::string members = Query(home, "v_$logfile", 2);
  EXPECT_NE(members.find("c:\\kxsimcopies\\redo01b.log"), std::string::npos) << members;
  ASSERT_EQ(Simctl("setup --release 8.1 --copies C:\\KXSIMCOPIES --break control"), 0);
  sim::Table p;
  ASSERT_EQ(sim::QueryView(home, "ORCL", "v_$parameter", p), "");
  for (const auto& r : p.rows)
    if (r[0] == "control_files") EXPECT_EQ(r[1].find("KXSIMCOPIES"), std::string::npos) << r[1];
}

std::string LogonError(const std::string& home, const std::string& server) {
  std::string sid;
  return sim::Logon(home, server, "sys", "change_on_install", true, sid);
}

using simtest::Net;

TEST(SimHost, ServicesStartAndStopTheInstanceAndTheListenerGatesConnectStrings) {
  ASSERT_EQ(Simctl(std::string("setup --release 8.1 --copies ") + kCopies), 0);
  const std::string home = "C:\\ORACLE\\ORA81";
  EXPECT_EQ(LogonError(home, "ORCL"), "");
  EXPECT_EQ(Net("stop", "OracleOraHome81TNSListener"), 0);
  EXPECT_EQ(LogonError(home, "ORCL"), "ORA-12541: TNS:no listener");
  EXPECT_EQ(LogonError(home, ""), "");
  EXPECT_EQ(Net("start", "OracleOraHome81TNSListener"), 0);

  ASSERT_EQ(Simctl("workload --rows 3"), 0);
  EXPECT_EQ(Net("stop", "OracleServiceORCL"), 0);
  EXPECT_EQ(LogonError(home, "ORCL"), "ORA-12560: TNS:protocol adapter error");
  sim::HostState st;
  ASSERT_TRUE(sim::LoadHostState(home, "ORCL", st));
  EXPECT_EQ(st.state, sim::kDown);
  // The default shutdown type is immediate: the files are consistent, no recovery is needed.
  sim::ControlFile cf;
  ASSERT_TRUE(sim::ReadControlFile("C:\\ORACLE\\ORADATA\\ORCL\\CONTROL01.CTL", cf));
  EXPECT_TRUE(cf.clean);
  EXPECT_EQ(Net("start", "OracleServiceORCL"), 0);
  EXPECT_EQ(LogonError(home, "ORCL"), "");
  std::vector<sim::Row> rows;
  EXPECT_EQ(sim::ListRows(home, "ORCL", rows), "");
  EXPECT_EQ(rows.size(), 3u);

  // With ORA_ORCL_SHUTDOWNTYPE = a the stop aborts; the next start recovers the rows.
  ASSERT_EQ(simtest::Run("C:\\windows\\system32\\reg.exe add HKLM\\SOFTWARE\\ORACLE\\HOME0 /v ORA_ORCL_SHUTDOWNTYPE /d a /f"), 0);
  ASSERT_EQ(Simctl("workload --rows 2"), 0);
  EXPECT_EQ(Net("stop", "OracleServiceORCL"), 0);
  ASSERT_TRUE(sim::ReadControlFile("C:\\ORACLE\\ORADATA\\ORCL\\CONTROL01.CTL", cf));
  EXPECT_FALSE(cf.clean);
  EXPECT_EQ(Net("start", "OracleServiceORCL"), 0);
  EXPECT_EQ(sim::ListRows(home, "ORCL", rows), "");
  EXPECT_EQ(rows.size(), 5u);
  EXPECT_NE(ReadAll("C:\\ORACLE\\ADMIN\\ORCL\\BDUMP\\ORCLALRT.LOG").find("Beginning crash recovery"), std::string::npos);

  // The service runs but the instance is down: a session is refused, the tool's logon is not.
  sim::Lines out;
  ASSERT_TRUE(sim::ShutdownInstance(home, "ORCL", "immediate", out));
  EXPECT_EQ(LogonError(home, "ORCL"), "ORA-01034: ORACLE not available");
  std::string sid;
  EXPECT_EQ(sim::CheckLogon(home, "ORCL", "sys", "change_on_install", true, true, sid), "");

  // ORA_ORCL_AUTOSTART = FALSE: the service starts, the instance stays down.
  ASSERT_EQ(simtest::Run("C:\\windows\\system32\\reg.exe add HKLM\\SOFTWARE\\ORACLE\\HOME0 /v ORA_ORCL_AUTOSTART /d FALSE /f"), 0);
  EXPECT_EQ(Net("stop", "OracleServiceORCL"), 0);
  EXPECT_EQ(Net("start", "OracleServiceORCL"), 0);
  EXPECT_EQ(LogonError(home, "ORCL"), "ORA-01034: ORACLE not available");
}

TEST(SimHost, FaultsRefuseTheStopHoldADataFileAndChangeThePassword) {
  ASSERT_EQ(Simctl(std::string("setup --release 8.1 --copies ") + kCopies), 0);
  const std::string home = "C:\\ORACLE\\ORA81";
  ASSERT_EQ(Simctl("fault service-stop refuse"), 0);
  Sleep(1000);  // the service looks at its faults every 300 ms
  EXPECT_NE(Net("stop", "OracleServiceORCL"), 0);
  EXPECT_EQ(ServiceStateOf("OracleServiceORCL"), (DWORD)SERVICE_RUNNING);
  ASSERT_EQ(Simctl("fault service-stop"), 0);
  Sleep(1000);

  ASSERT_EQ(Simctl("fault --sid ORCL hold-datafile 3"), 0);
  Sleep(1000);
  const std::string users = "C:\\ORACLE\\ORADATA\\ORCL\\USERS01.DBF";
  EXPECT_FALSE(CopyFileA(users.c_str(), "C:\\KXSIMCOPIES\\USERS01.DBF", FALSE));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_SHARING_VIOLATION);
  // The instance itself goes on using it: commits and a clean shutdown work.
  ASSERT_EQ(Simctl("workload --rows 2 --switch-every 1"), 0);
  ASSERT_EQ(Simctl("fault hold-datafile"), 0);
  Sleep(1000);
  EXPECT_TRUE(CopyFileA(users.c_str(), "C:\\KXSIMCOPIES\\USERS01.DBF", FALSE));
  EXPECT_EQ(Net("stop", "OracleServiceORCL"), 0);
  EXPECT_EQ(Net("start", "OracleServiceORCL"), 0);
  std::vector<sim::Row> rows;
  EXPECT_EQ(sim::ListRows(home, "ORCL", rows), "");
  EXPECT_EQ(rows.size(), 2u);

  ASSERT_EQ(Simctl("fault wrong-password other"), 0);
  EXPECT_EQ(LogonError(home, "ORCL"), "ORA-01017: invalid username/password; logon denied");
}

TEST(SimHost, AStopWhoseShutdownHangsAbortsAfterTheTimeout) {
  ASSERT_EQ(Simctl(std::string("setup --release 8.1 --copies ") + kCopies), 0);
  const std::string home = "C:\\ORACLE\\ORA81";
  ASSERT_EQ(simtest::Run("C:\\windows\\system32\\reg.exe add HKLM\\SOFTWARE\\ORACLE\\HOME0 /v ORA_ORCL_SHUTDOWN_TIMEOUT /d 2 /f"), 0);
  ASSERT_EQ(Simctl("workload --rows 2"), 0);
  ASSERT_EQ(Simctl("fault shutdown-immediate hang"), 0);
  DWORD start = GetTickCount();
  EXPECT_EQ(Net("stop", "OracleServiceORCL"), 0);
  EXPECT_GE(GetTickCount() - start, 2000u);
  EXPECT_EQ(ServiceStateOf("OracleServiceORCL"), (DWORD)SERVICE_STOPPED);
  sim::ControlFile cf;
  ASSERT_TRUE(sim::ReadControlFile("C:\\ORACLE\\ORADATA\\ORCL\\CONTROL01.CTL", cf));
  EXPECT_FALSE(cf.clean);
  ASSERT_EQ(Simctl("fault shutdown-immediate"), 0);
  EXPECT_EQ(Net("start", "OracleServiceORCL"), 0);
  std::vector<sim::Row> rows;
  EXPECT_EQ(sim::ListRows(home, "ORCL", rows), "");
  EXPECT_EQ(rows.size(), 2u);
}

TEST(SimHost, TeardownRemovesTheServicesAndTheHome) {
  ASSERT_EQ(Simctl(std::string("setup --release 8.0 --copies ") + kCopies), 0);
  ASSERT_EQ(Simctl("teardown"), 0);
  EXPECT_EQ(ServiceStateOf("OracleServiceORCL"), 0u);
  EXPECT_EQ(ServiceStateOf("OracleStartORCL"), 0u);
  EXPECT_EQ(ServiceStateOf("OracleTNSListener80"), 0u);
  EXPECT_FALSE(Exists("C:\\ORANT"));
  EXPECT_EQ(simtest::RegistryValue("SOFTWARE\\ORACLE", "ORACLE_HOME"), "<no key>");
}

}  // namespace
