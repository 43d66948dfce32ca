// kantrix's dictionary statements over the views of a real simulated instance: the evaluator
// and the engine agree on view and column names, and the answers follow the instance's state.
#include <gtest/gtest.h>

#include <windows.h>

#include "engine.h"
#include "sql/sql.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

class DictionaryTest : public ::testing::Test {
 protected:
  std::string root, home, data, copies, sid = "KXSQL";
  sim::DatabaseLayout layout;

  void SetUp() override {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    // Oracle on Windows keeps the paths upper-cased; the copies-directory test relies on it.
    root = sim::Upper(std::string(tmp) + "KXSQL" + std::to_string(GetCurrentProcessId()));
    home = root + "\\HOME";
    data = root + "\\ORADATA";
    copies = root + "\\COPIES";
    layout.home = home;
    layout.sid = sid;
    layout.release = "8.1";
    layout.listener = "OracleKxsqlTNSListener";
    layout.password = "secret";
    layout.controlFiles = {data + "\\CONTROL01.CTL", copies + "\\CONTROL02.CTL"};
    layout.files = {{1, "SYSTEM", data + "\\SYSTEM01.DBF", 1 << 16},
                    {2, "USERS", data + "\\USERS01.DBF", 1 << 16}};
    layout.redoMembers = {{data + "\\REDO01A.LOG", copies + "\\REDO01B.LOG"},
                          {data + "\\REDO02A.LOG", copies + "\\REDO02B.LOG"}};
    layout.redoBytes = 64 * 1024;
    layout.archiveParameter = "log_archive_dest";
    layout.archiveValue = root + "\\ARCH";
    layout.archivDirectory = root + "\\ARCHIV\\";
    layout.dumpDest = root + "\\BDUMP";
    ASSERT_EQ("", sim::CreateDatabase(layout));
    Cycle("open");
  }
  void TearDown() override {
    sim::Lines out;
    sim::ShutdownInstance(home, sid, "abort", out);
    sim::RemoveTree(root);
  }
  // Brings the instance to `mode` ("down", "nomount", "mount" or "open").
  void Cycle(const std::string& mode) {
    sim::Lines out;
    sim::ShutdownInstance(home, sid, "immediate", out);
    if (mode != "down") {
      ASSERT_TRUE(sim::StartupInstance(home, sid, mode, false, out)) << mode;
    }
  }
  std::string Run(const std::string& sql, sim::Table& out) {
    return sim::EvaluateSelect(sql, [this](const std::string& view, sim::Table& t) {
      return sim::QueryView(home, sid, view, t);
    }, out);
  }
  Rows Answer(const std::string& sql) {
    sim::Table out;
    EXPECT_EQ("", Run(sql, out)) << sql;
    return out.rows;
  }
};

TEST_F(DictionaryTest, TheInventoryStatementsOfAnOpenDatabase) {
  EXPECT_EQ((Rows{{data + "\\CONTROL01.CTL, " + copies + "\\CONTROL02.CTL"}}),
            Answer("select value from sys.v_$parameter where name = 'control_files'"));
  EXPECT_EQ((Rows{{data + "\\SYSTEM01.DBF"}, {data + "\\USERS01.DBF"}}),
            Answer("select file_name from sys.dba_data_files"));
  EXPECT_EQ((Rows{{data + "\\REDO01A.LOG"}, {copies + "\\REDO01B.LOG"}, {data + "\\REDO02A.LOG"},
                  {copies + "\\REDO02B.LOG"}}),
            Answer("select member from sys.v_$logfile"));
  EXPECT_EQ((Rows{{root + "\\ARCH"}, {""}}),
            Answer("select value from sys.v_$parameter where name = 'log_archive_dest' OR name = "
                   "'log_archive_dest_1'"));
  EXPECT_EQ((Rows{{root + "\\ARCHIV\\"}}),
            Answer("select directory_path from sys.all_directories where directory_name = 'ARCHIV'"));

  std::string n = std::to_string(copies.size());
  EXPECT_EQ((Rows{{data + "\\REDO01A.LOG", copies + "\\REDO01B.LOG"},
                  {data + "\\REDO02A.LOG", copies + "\\REDO02B.LOG"}}),
            Answer("SELECT MIN(a.member) \"ser\", MIN(b.member) \"bu\" from sys.v_$logfile a, "
                   "sys.v_$logfile b WHERE SUBSTR(a.member,1," + n + ")!=Upper('" + copies +
                   "') AND SUBSTR(b.member,1," + n + ")=Upper('" + copies +
                   "') AND a.group#=b.group# GROUP BY a.GROUP#"));

  sim::Table status;
  ASSERT_EQ("", Run("select member, a.group#, b.status, a.status Logfile from sys.v_$logfile a, "
                    "v$log b where a.group#=b.group#", status));
  EXPECT_EQ((std::vector<std::string>{"MEMBER", "GROUP#", "STATUS", "LOGFILE"}), status.columns);
  EXPECT_EQ((Rows{{data + "\\REDO01A.LOG", "1", "CURRENT", ""}, {copies + "\\REDO01B.LOG", "1", "CURRENT", ""},
                  {data + "\\REDO02A.LOG", "2", "UNUSED", ""}, {copies + "\\REDO02B.LOG", "2", "UNUSED", ""}}),
            status.rows);
}

TEST_F(DictionaryTest, ViewsAnswerOnlyInTheStatesThatHaveThem) {
  struct Case {
    const char* mode;
    const char* sql;
    const char* error;
  };
  const char* notOpen = "ORA-01219: database not open: queries allowed on fixed tables/views only";
  const Case cases[] = {
      {"mount", "select member from sys.v_$logfile", ""},
      {"mount", "select file_name from sys.dba_data_files", notOpen},
      {"mount", "select directory_path from sys.all_directories", notOpen},
      {"nomount", "select value from sys.v_$parameter where name = 'control_files'", ""},
      {"nomount", "select status from v$log", "ORA-01507: database not mounted"},
      {"down", "select value from sys.v_$parameter", "ORA-01034: ORACLE not available"},
      {"open", "select name from sys.v_$datafile", "ORA-00942: table or view does not exist"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mode) + ": " + c.sql);
    Cycle(c.mode);
    sim::Table out;
    EXPECT_EQ(c.error, Run(c.sql, out));
    EXPECT_EQ(*c.error ? 0u : 1u, out.columns.size());
  }
}

}  // namespace
