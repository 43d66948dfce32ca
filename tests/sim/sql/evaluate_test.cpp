// The dictionary SQL evaluator on small view fixtures: the statements kantrix sends, and the
// errors Oracle gives for the ones it cannot answer.
#include <gtest/gtest.h>

#include <map>

#include "sql/sql.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// A dictionary of fixed views; an unknown name answers as Oracle does.
struct Views {
  std::map<std::string, sim::Table> tables;
  std::vector<std::string> asked;
  std::string failure;  // when set, every read answers it (e.g. a mounted-only database)

  std::string Run(const std::string& sql, sim::Table& out) {
    return sim::EvaluateSelect(sql, [this](const std::string& view, sim::Table& t) {
      asked.push_back(view);
      if (!failure.empty()) return failure;
      auto it = tables.find(view);
      if (it == tables.end()) return std::string("ORA-00942: table or view does not exist");
      t = it->second;
      return std::string();
    }, out);
  }
};

sim::Table Logfile(const Rows& rows) { return {{"GROUP#", "STATUS", "MEMBER"}, rows}; }

Views Dictionary(const Rows& logfile) {
  Views v;
  v.tables["v_$logfile"] = Logfile(logfile);
  v.tables["v_$parameter"] = {{"NAME", "VALUE"},
                              {{"db_name", "ORCL"},
                               {"control_files", "C:\\ORACLE\\CONTROL01.CTL, C:\\BACKUP\\CONTROL02.CTL"},
                               {"log_archive_dest", ""},
                               {"log_archive_dest_1", "LOCATION=C:\\ORACLE\\ARCH"},
                               {"background_dump_dest", "C:\\ORACLE\\BDUMP"}}};
  v.tables["v_$log"] = {{"GROUP#", "THREAD#", "SEQUENCE#", "BYTES", "MEMBERS", "ARCHIVED", "STATUS",
                         "FIRST_CHANGE#"},
                        {{"1", "1", "7", "1048576", "2", "YES", "INACTIVE", "100"},
                         {"2", "1", "8", "1048576", "2", "NO", "CURRENT", "200"},
                         {"3", "1", "6", "1048576", "2", "YES", "INACTIVE", "50"}}};
  v.tables["dba_data_files"] = {{"FILE_NAME", "FILE_ID", "TABLESPACE_NAME", "BYTES", "STATUS"},
                                {{"C:\\ORACLE\\SYSTEM01.DBF", "1", "SYSTEM", "1024", "AVAILABLE"},
                                 {"C:\\ORACLE\\USERS01.DBF", "2", "USERS", "2048", "AVAILABLE"}}};
  v.tables["all_directories"] = {{"OWNER", "DIRECTORY_NAME", "DIRECTORY_PATH"},
                                 {{"SYS", "ARCHIV", "C:\\ORACLE\\ARCHIV\\"},
                                  {"SYS", "archiv", "C:\\LOWER\\"}}};
  return v;
}

// The redo-pair statement exactly as kantrix builds it for a copies directory.
std::string PairQuery(const std::string& copies) {
  std::string n = std::to_string(copies.size());
  return "SELECT MIN(a.member) \"ser\", MIN(b.member) \"bu\" from sys.v_$logfile a, "
         "sys.v_$logfile b WHERE SUBSTR(a.member,1," + n + ")!=Upper('" + copies +
         "') AND SUBSTR(b.member,1," + n + ")=Upper('" + copies +
         "') AND a.group#=b.group# GROUP BY a.GROUP#";
}

struct PairCase {
  const char* what;
  Rows logfile;
  Rows expected;  // ser, bu
};

TEST(RedoPairQuery, GivesTheSmallestMemberOfEachKindPerQualifyingGroup) {
  const PairCase cases[] = {
      {"one member each side in every group",
       {{"1", "", "C:\\ORACLE\\REDO01.LOG"}, {"1", "", "C:\\BACKUP\\REDO01B.LOG"},
        {"2", "", "C:\\ORACLE\\REDO02.LOG"}, {"2", "", "C:\\BACKUP\\REDO02B.LOG"}},
       {{"C:\\ORACLE\\REDO01.LOG", "C:\\BACKUP\\REDO01B.LOG"},
        {"C:\\ORACLE\\REDO02.LOG", "C:\\BACKUP\\REDO02B.LOG"}}},
      {"members inside stored in lower case do not match the upper-cased directory",
       {{"1", "", "C:\\ORACLE\\REDO01.LOG"}, {"1", "", "c:\\backup\\redo01b.log"},
        {"2", "", "C:\\ORACLE\\REDO02.LOG"}, {"2", "", "c:\\backup\\redo02b.log"}},
       {}},
      {"mixed-case directory counts as outside, so the group has no inside member",
       {{"1", "", "C:\\ORACLE\\REDO01.LOG"}, {"1", "", "C:\\Backup\\REDO01B.LOG"}},
       {}},
      {"two members each side: the byte-wise smallest of each",
       {{"1", "", "D:\\REDO\\B.LOG"}, {"1", "", "C:\\BACKUP\\Z.LOG"},
        {"1", "", "C:\\ORACLE\\A.LOG"}, {"1", "", "C:\\BACKUP\\Y.LOG"}},
       {{"C:\\ORACLE\\A.LOG", "C:\\BACKUP\\Y.LOG"}}},
      {"only two of three groups have a member inside",
       {{"1", "", "C:\\ORACLE\\REDO01.LOG"}, {"1", "", "C:\\BACKUP\\REDO01B.LOG"},
        {"2", "", "C:\\ORACLE\\REDO02.LOG"}, {"2", "", "D:\\MIRROR\\REDO02B.LOG"},
        {"3", "INVALID", "C:\\ORACLE\\REDO03.LOG"}, {"3", "", "C:\\BACKUP\\REDO03B.LOG"}},
       {{"C:\\ORACLE\\REDO01.LOG", "C:\\BACKUP\\REDO01B.LOG"},
        {"C:\\ORACLE\\REDO03.LOG", "C:\\BACKUP\\REDO03B.LOG"}}},
      {"a group entirely inside and one entirely outside",
       {{"1", "", "C:\\BACKUP\\REDO01.LOG"}, {"1", "", "C:\\BACKUP\\REDO01B.LOG"},
        {"2", "", "C:\\ORACLE\\REDO02.LOG"}, {"2", "", "D:\\REDO02B.LOG"}},
       {}},
      {"a sibling directory with the same beginning counts as inside",
       {{"1", "", "C:\\ORACLE\\REDO01.LOG"}, {"1", "", "C:\\BACKUP2\\REDO01B.LOG"}},
       {{"C:\\ORACLE\\REDO01.LOG", "C:\\BACKUP2\\REDO01B.LOG"}}},
  };
  for (const PairCase& c : cases) {
    SCOPED_TRACE(c.what);
    Views v = Dictionary(c.logfile);
    sim::Table out;
    ASSERT_EQ("", v.Run(PairQuery("C:\\BACKUP"), out));
    EXPECT_EQ((std::vector<std::string>{"ser", "bu"}), out.columns);
    EXPECT_EQ(c.expected, out.rows);
  }
}

TEST(RedoPairQuery, UpperCasesTheLiteralNotTheMembers) {
  Views v = Dictionary({{"1", "", "C:\\ORACLE\\REDO01.LOG"}, {"1", "", "C:\\BACKUP\\REDO01B.LOG"}});
  sim::Table out;
  ASSERT_EQ("", v.Run(PairQuery("c:\\backup"), out));
  EXPECT_EQ((Rows{{"C:\\ORACLE\\REDO01.LOG", "C:\\BACKUP\\REDO01B.LOG"}}), out.rows);
  // The self-join reads the view once, under its normalised name.
  EXPECT_EQ((std::vector<std::string>{"v_$logfile"}), v.asked);
}

struct SelectCase {
  const char* sql;
  std::vector<std::string> columns;
  Rows rows;
};

TEST(DictionaryQueries, AnswerFromTheViewRows) {
  const SelectCase cases[] = {
      {"select value from sys.v_$parameter where name = 'control_files'",
       {"VALUE"},
       {{"C:\\ORACLE\\CONTROL01.CTL, C:\\BACKUP\\CONTROL02.CTL"}}},
      {"select file_name from sys.dba_data_files",
       {"FILE_NAME"},
       {{"C:\\ORACLE\\SYSTEM01.DBF"}, {"C:\\ORACLE\\USERS01.DBF"}}},
      {"select member from sys.v_$logfile",
       {"MEMBER"},
       {{"C:\\ORACLE\\REDO01.LOG"}, {"C:\\BACKUP\\REDO01B.LOG"}}},
      // The NULL value of log_archive_dest is a row too: the filter is on the name.
      {"select value from sys.v_$parameter where name = 'log_archive_dest' OR name = "
       "'log_archive_dest_1'",
       {"VALUE"},
       {{""}, {"LOCATION=C:\\ORACLE\\ARCH"}}},
      // Comparison is case-sensitive: the lower-case directory object is another one.
      {"select directory_path from sys.all_directories where directory_name = 'ARCHIV'",
       {"DIRECTORY_PATH"},
       {{"C:\\ORACLE\\ARCHIV\\"}}},
      {"select member, a.group#, b.status, a.status Logfile from sys.v_$logfile a, v$log b "
       "where a.group#=b.group#",
       {"MEMBER", "GROUP#", "STATUS", "LOGFILE"},
       {{"C:\\ORACLE\\REDO01.LOG", "1", "INACTIVE", "STALE"},
        {"C:\\BACKUP\\REDO01B.LOG", "1", "INACTIVE", ""}}},
      // Keywords and names in any case, the v$ synonym, aliases with and without AS.
      {"SELECT VALUE v, Name AS \"Nm\" FROM V$PARAMETER WHERE NAME='db_name'",
       {"V", "Nm"},
       {{"ORCL", "db_name"}}},
      {"select v_$parameter.value from sys.v_$parameter where name = 'CONTROL_FILES'",
       {"VALUE"},
       {}},
      // NULL is neither equal nor unequal to anything.
      {"select name from v$parameter where value != 'ORCL' and (name = 'db_name' or "
       "name = 'log_archive_dest' or name = 'background_dump_dest')",
       {"NAME"},
       {{"background_dump_dest"}}},
      {"select name from v$parameter where value = ''", {"NAME"}, {}},
      // An aggregate without GROUP BY is one row even over no rows.
      {"select min(value) from v$parameter where name = 'none'", {"MIN(VALUE)"}, {{""}}},
      {"select substr(name, 4), substr(name, -4, 2), upper('x') from v$parameter where "
       "name = 'db_name'",
       {"SUBSTR(NAME,4)", "SUBSTR(NAME,-4,2)", "UPPER('X')"},
       {{"name", "na", "X"}}},
  };
  for (const SelectCase& c : cases) {
    SCOPED_TRACE(c.sql);
    Views v = Dictionary({{"1", "STALE", "C:\\ORACLE\\REDO01.LOG"}, {"1", "", "C:\\BACKUP\\REDO01B.LOG"}});
    sim::Table out;
    ASSERT_EQ("", v.Run(c.sql, out));
    EXPECT_EQ(c.columns, out.columns);
    EXPECT_EQ(c.rows, out.rows);
  }
}

struct ErrorCase {
  const char* sql;
  const char* error;
};

TEST(DictionaryQueries, RefuseWithOracleErrors) {
  const ErrorCase cases[] = {
      {"alter system switch logfile", "ORA-00900: invalid SQL statement"},
      {"update v$parameter set value = 'x'", "ORA-00900: invalid SQL statement"},
      {"", "ORA-00900: invalid SQL statement"},
      {"select value from sys.v_$parameters", "ORA-00942: table or view does not exist"},
      {"select value from scott.v_$parameter", "ORA-00942: table or view does not exist"},
      {"select member from sys.v_$logfile a, sys.v_$logfile b",
       "ORA-00918: column ambiguously defined"},
      {"select status from v$logfile, v$log", "ORA-00918: column ambiguously defined"},
      {"select members from sys.v_$logfile", "ORA-00904: invalid column name"},
      {"select c.member from sys.v_$logfile a", "ORA-00904: invalid column name"},
      {"select v_$logfile.member from sys.v_$logfile a", "ORA-00904: invalid column name"},
      {"select value from v$parameter where nam = 'x'", "ORA-00904: invalid column name"},
      {"select member, min(status) from v$logfile group by group#",
       "ORA-00979: not a GROUP BY expression"},
      {"select member, min(status) from v$logfile", "ORA-00937: not a single-group group function"},
      {"select value from v$parameter where name = 'x", "ORA-01756: quoted string not properly terminated"},
      {"select value from v$parameter;", "ORA-00911: invalid character"},
      {"select value from v$parameter where name", "ORA-00920: invalid relational operator"},
      {"select value v$parameter", "ORA-00923: FROM keyword not found where expected"},
      {"select value from v$parameter order by name", "ORA-00933: SQL command not properly ended"},
      {"select substr(name, 'a') from v$parameter", "ORA-01722: invalid number"},
      {"select substr(name) from v$parameter", "ORA-00909: invalid number of arguments"},
      {"select lower(name) from v$parameter", "ORA-00904: invalid column name"},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.sql);
    Views v = Dictionary({{"1", "", "C:\\ORACLE\\REDO01.LOG"}});
    sim::Table out;
    EXPECT_EQ(c.error, v.Run(c.sql, out));
    EXPECT_TRUE(out.columns.empty());
    EXPECT_TRUE(out.rows.empty());
  }
}

TEST(DictionaryQueries, PassOnTheInstanceRefusal) {
  Views v = Dictionary({});
  v.failure = "ORA-01219: database not open: queries allowed on fixed tables/views only";
  sim::Table out;
  EXPECT_EQ(v.failure, v.Run("select file_name from sys.dba_data_files", out));
  EXPECT_EQ((std::vector<std::string>{"dba_data_files"}), v.asked);
}

}  // namespace
