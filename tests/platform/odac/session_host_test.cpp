// kantrix's Oracle session against a simulated 8.1 host in the prefix: the data module's
// statements read by field name, and every refusal with Oracle's own text.
#include <gtest/gtest.h>

#include <fstream>

#include "host_fixture.h"
#include "platform/odac.h"

namespace {

const char* const kHome = "C:\\ORACLE\\ORA81";
const char* const kData = "C:\\ORACLE\\ORADATA\\ORCL";
const char* const kListener = "OracleOraHome81TNSListener";

class SessionHostTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(0, simtest::Simctl("setup --release 8.1 --sid ORCL --copies C:\\BACKUP --password secret"));
  }
  static void TearDownTestSuite() {
    simtest::Simctl("teardown");
    simtest::Run("C:\\windows\\system32\\cmd.exe /c rmdir /s /q C:\\BACKUP");
  }

  oda::Session db;
  oda::Query query;

  void SetUp() override {
    db.ClientHome = kHome;
    db.Server = "ORCL";
    db.Username = "sys";
    db.Password = "secret";
    db.Mode = oda::cmSysDBA;
    query.session = &db;
  }

  // The message of the error Open raises, or "" when the session opens.
  std::string OpenError() {
    db.Close();
    try {
      db.Open();
    } catch (const oda::EDatabaseError& e) {
      EXPECT_FALSE(db.Connected());
      return e.what();
    }
    EXPECT_TRUE(db.Connected());
    return "";
  }
  // Runs a statement as the data module does: close, clear, add, open.
  std::string Run(const std::string& sql) {
    if (query.Active) query.Close();
    query.SQL.clear();
    query.SQL.push_back(sql);
    try {
      query.Open();
    } catch (const oda::EDatabaseError& e) {
      return e.what();
    }
    return "";
  }
  // Every row's values of the named fields, read from first to last.
  std::vector<std::vector<std::string>> Read(const std::vector<std::string>& fields) {
    std::vector<std::vector<std::string>> rows;
    for (; !query.Eof(); query.Next()) {
      rows.emplace_back();
      for (const std::string& f : fields) rows.back().push_back(query.FieldByName(f));
    }
    return rows;
  }
  // Runs an instance script through the home's own tool, as an administrator would.
  static void Tool(const std::string& statements) {
    std::ofstream("C:\\kxs2odac.sql") << statements << "\nexit;\n";
    simtest::Run(std::string(kHome) + "\\BIN\\sqlplusw.exe \"sys/secret@ORCL as sysdba\" @C:\\kxs2odac.sql");
    DeleteFileA("C:\\kxs2odac.sql");
  }
  static int Net(const std::string& verb, const std::string& service) {
    return simtest::Run("C:\\windows\\system32\\net.exe " + verb + " " + service);
  }
};

using Rows = std::vector<std::vector<std::string>>;

TEST_F(SessionHostTest, TheDataModuleStatementsReadByFieldName) {
  ASSERT_EQ("", OpenError());
  const std::string d = kData;

  ASSERT_EQ("", Run("select value from sys.v_$parameter where name = 'control_files'"));
  EXPECT_FALSE(query.IsEmpty());
  EXPECT_EQ((Rows{{d + "\\CONTROL01.CTL, C:\\BACKUP\\CONTROL02.CTL"}}), Read({"value"}));

  ASSERT_EQ("", Run("select file_name from sys.dba_data_files"));
  EXPECT_EQ((Rows{{d + "\\SYSTEM01.DBF"}, {d + "\\RBS01.DBF"}, {d + "\\USERS01.DBF"}, {d + "\\TEMP01.DBF"}}),
            Read({"FILE_NAME"}));

  ASSERT_EQ("", Run("SELECT MIN(a.member) \"ser\", MIN(b.member) \"bu\" from sys.v_$logfile a, "
                    "sys.v_$logfile b WHERE SUBSTR(a.member,1,9)!=Upper('C:\\BACKUP') AND "
                    "SUBSTR(b.member,1,9)=Upper('C:\\BACKUP') AND a.group#=b.group# GROUP BY a.GROUP#"));
  EXPECT_EQ((Rows{{d + "\\REDO01A.LOG", "C:\\BACKUP\\REDO01B.LOG"},
                  {d + "\\REDO02A.LOG", "C:\\BACKUP\\REDO02B.LOG"},
                  {d + "\\REDO03A.LOG", "C:\\BACKUP\\REDO03B.LOG"}}),
            Read({"SER", "bu"}));

  // A NULL value reads as an empty text.
  ASSERT_EQ("", Run("select value from sys.v_$parameter where name = 'log_archive_dest' OR name = "
                    "'log_archive_dest_1'"));
  EXPECT_EQ((Rows{{d + "\\ARCHIVE"}, {""}}), Read({"VALUE"}));

  ASSERT_EQ("", Run("select directory_path from sys.all_directories where directory_name = 'ARCHIV'"));
  EXPECT_EQ((Rows{{"C:\\ORACLE\\ARCHIV\\"}}), Read({"directory_path"}));

  ASSERT_EQ("", Run("select member, a.group#, b.status, a.status Logfile from sys.v_$logfile a, v$log b "
                    "where a.group#=b.group#"));
  Rows status = Read({"member", "Logfile", "group#"});
  ASSERT_EQ(6u, status.size());
  EXPECT_EQ((std::vector<std::string>{d + "\\REDO01A.LOG", "", "1"}), status[0]);
  EXPECT_EQ((std::vector<std::string>{"C:\\BACKUP\\REDO03B.LOG", "", "3"}), status[5]);

  // After the last row the query is at its end; an unknown field is an error of its own.
  EXPECT_TRUE(query.Eof());
  EXPECT_THROW(query.FieldByName("bytes"), oda::EDatabaseError);

  ASSERT_EQ("", Run("select member from sys.v_$logfile where member = 'none'"));
  EXPECT_TRUE(query.IsEmpty());
  EXPECT_TRUE(query.Eof());
  query.Close();
  EXPECT_FALSE(query.Active);
}

TEST_F(SessionHostTest, StatementErrorsCarryOraclesText) {
  ASSERT_EQ("", OpenError());
  const std::pair<const char*, const char*> cases[] = {
      {"select name from sys.v_$datafile", "ORA-00942: table or view does not exist"},
      {"select status from sys.v_$logfile a, v$log b", "ORA-00918: column ambiguously defined"},
      {"select members from sys.v_$logfile", "ORA-00904: invalid column name"},
      {"alter system switch logfile", "ORA-00900: invalid SQL statement"},
  };
  for (const auto& [sql, error] : cases) {
    EXPECT_EQ(error, Run(sql)) << sql;
    EXPECT_FALSE(query.Active);
  }
  // The session survives a failed statement.
  EXPECT_EQ("", Run("select member from sys.v_$logfile"));
  EXPECT_EQ(6u, query.rows.size());
}

TEST_F(SessionHostTest, RefusalsOfTheHost) {
  // Passwords of release 8 are not case-sensitive; a wrong one is refused.
  db.Password = "SECRET";
  EXPECT_EQ("", OpenError());
  db.Password = "wrong";
  EXPECT_EQ("ORA-01017: invalid username/password; logon denied", OpenError());
  db.Password = "secret";

  // Without the listener only the local connection works.
  ASSERT_EQ(0, Net("stop", kListener));
  EXPECT_EQ("ORA-12541: TNS:no listener", OpenError());
  db.Server = "";
  EXPECT_EQ("", OpenError());
  ASSERT_EQ(0, Net("start", kListener));
  db.Server = "ORCL";
  EXPECT_EQ("", OpenError());

  // The database service stopped: nothing answers.
  ASSERT_EQ(0, Net("stop", "OracleServiceORCL"));
  EXPECT_EQ("ORA-12560: TNS:protocol adapter error", OpenError());
  ASSERT_EQ(0, Net("start", "OracleServiceORCL"));
  EXPECT_EQ("", OpenError());

  // The service runs but the instance is shut down.
  Tool("shutdown immediate;");
  EXPECT_EQ("ORA-01034: ORACLE not available", OpenError());

  // Mounted only: the fixed views answer, the dictionary tables do not.
  Tool("startup mount;");
  ASSERT_EQ("", OpenError());
  EXPECT_EQ("", Run("select member from sys.v_$logfile"));
  EXPECT_EQ("ORA-01219: database not open: queries allowed on fixed tables/views only",
            Run("select file_name from sys.dba_data_files"));

  // A session open before the shutdown keeps its handles, but its queries are refused.
  Tool("shutdown immediate;");
  EXPECT_EQ("ORA-01034: ORACLE not available", Run("select member from sys.v_$logfile"));
  EXPECT_TRUE(db.Connected());
  db.Close();
  EXPECT_FALSE(db.Connected());
  Tool("startup;");
  EXPECT_EQ("", OpenError());
  EXPECT_EQ("", Run("select file_name from sys.dba_data_files"));
}

}  // namespace
