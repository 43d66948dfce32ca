// The simulated instance keeps Oracle's consistency rules: the tests take copies of its real
// files at the moments a backup would and check what the instance does with them afterwards.
#include <gtest/gtest.h>

#include "engine.h"

namespace {

using sim::Lines;
using sim::RemoveTree;

// A database in a temporary folder: home, data folder, copies folder, archive folder.
class InstanceTest : public ::testing::Test {
 protected:
  std::string root, home, sid = "TST";
  sim::DatabaseLayout layout;

  void SetUp() override {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    root = std::string(tmp) + "kxsim" + std::to_string(GetCurrentProcessId()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    RemoveTree(root);
    home = root + "\\HOME";
    std::string data = root + "\\ORADATA", copies = root + "\\COPIES";
    layout.home = home;
    layout.sid = sid;
    layout.release = "8.1";
    layout.listener = "OracleTstTNSListener";
    layout.password = "secret";
    layout.controlFiles = {data + "\\CONTROL01.CTL", copies + "\\CONTROL02.CTL"};
    layout.files = {{1, "SYSTEM", data + "\\SYSTEM01.DBF", 1 << 20},
                    {2, "RBS", data + "\\RBS01.DBF", 1 << 20},
                    {3, "USERS", data + "\\USERS01.DBF", 3 << 20}};
    for (int g = 1; g <= 3; ++g)
      layout.redoMembers.push_back({data + "\\REDO0" + std::to_string(g) + "A.LOG",
                                    copies + "\\REDO0" + std::to_string(g) + "B.LOG"});
    layout.redoBytes = 256 * 1024;
    layout.archiveParameter = "log_archive_dest";
    layout.archiveValue = data + "\\ARCHIVE";
    layout.archivDirectory = root + "\\ARCHIV\\";
    layout.dumpDest = root + "\\BDUMP";
    ASSERT_EQ(sim::CreateDatabase(layout), "");
  }
  void TearDown() override { RemoveTree(root); }

  Lines Run(bool (*op)(const std::string&, const std::string&, const std::string&, Lines&),
            const std::string& arg) {
    Lines out;
    op(home, sid, arg, out);
    return out;
  }
  Lines Startup(const std::string& mode, bool force = false) {
    Lines out;
    sim::StartupInstance(home, sid, mode, force, out);
    return out;
  }
  Lines Shutdown(const std::string& mode) { return Run(sim::ShutdownInstance, mode); }
  Lines Recover(const std::string& until = "") { return Run(sim::RecoverDatabase, until); }
  Lines Switch() {
    Lines out;
    sim::SwitchLogfile(home, sid, out);
    return out;
  }
  Lines Resetlogs() {
    Lines out;
    sim::OpenResetlogs(home, sid, out);
    return out;
  }
  void Commit(int count, int switchEvery = 0) {
    long long last = 0;
    ASSERT_EQ(sim::CommitRows(home, sid, count, switchEvery, last), "");
  }
  std::vector<long long> Numbers() {
    std::vector<sim::Row> rows;
    EXPECT_EQ(sim::ListRows(home, sid, rows), "");
    std::vector<long long> n;
    for (const auto& r : rows) n.push_back(r.number);
    return n;
  }
  void CopyDataFiles(const std::string& suffix, bool back) {
    for (const auto& f : layout.files) {
      std::string saved = f.path + suffix;
      ASSERT_TRUE(CopyFileA((back ? saved : f.path).c_str(), (back ? f.path : saved).c_str(), FALSE))
          << f.path;
    }
  }
  static std::vector<long long> Range(long long from, long long to) {
    std::vector<long long> v;
    for (long long i = from; i <= to; ++i) v.push_back(i);
    return v;
  }
  static bool Has(const Lines& out, const std::string& line) {
    return std::find(out.begin(), out.end(), line) != out.end();
  }
};

const Lines kStarted = {"ORACLE instance started.",
                        "",
                        "Total System Global Area   38322124 bytes",
                        "Fixed Size                    65484 bytes",
                        "Variable Size              21405696 bytes",
                        "Database Buffers           16777216 bytes",
                        "Redo Buffers                  73728 bytes"};

Lines Plus(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(InstanceTest, StatementsAnswerAsTheToolPrintsThemInEachState) {
  EXPECT_EQ(Shutdown("immediate"), Lines{"ORA-01034: ORACLE not available"});
  EXPECT_EQ(Startup("nomount"), kStarted);
  EXPECT_EQ(Startup("open"), Lines{"ORA-01081: cannot start already-running ORACLE - shut it down first"});
  EXPECT_EQ(Shutdown("normal"), (Lines{"ORA-01507: database not mounted", "", "ORACLE instance shut down."}));
  EXPECT_EQ(Startup("mount"), Plus(kStarted, {"Database mounted."}));
  EXPECT_EQ(Switch(), Lines{"ORA-01109: database not open"});
  EXPECT_EQ(Shutdown("transactional"),
            (Lines{"ORA-01109: database not open", "", "Database dismounted.", "ORACLE instance shut down."}));
  EXPECT_EQ(Startup("open"), Plus(kStarted, {"Database mounted.", "Database opened."}));
  EXPECT_EQ(Switch(), Lines{"System altered."});
  EXPECT_EQ(Recover(), (Lines{"ORA-01124: cannot recover data file 1 - file is in use or recovery",
                              "ORA-01110: data file 1: '" + layout.files[0].path + "'"}));
  EXPECT_EQ(Startup("mount", true), Plus(kStarted, {"Database mounted."}));
  EXPECT_EQ(Resetlogs(),
            Lines{"ORA-01139: RESETLOGS option only valid after an incomplete database recovery"});
  EXPECT_EQ(Shutdown("abort"), Lines{"ORACLE instance shut down."});
  EXPECT_EQ(Startup("open"), Plus(kStarted, {"Database mounted.", "Database opened."}));
  EXPECT_EQ(Shutdown("immediate"), (Lines{"Database closed.", "Database dismounted.", "ORACLE instance shut down."}));
  EXPECT_EQ(Startup("mount"), Plus(kStarted, {"Database mounted."}));
  EXPECT_EQ(Recover(), (Lines{"ORA-00283: recovery session canceled due to errors", "ORA-00264: no recovery required"}));
}

TEST_F(InstanceTest, LogSwitchArchivesTheFilledGroupAndCommittedRowsStayVisible) {
  Startup("open");
  Commit(4);
  EXPECT_EQ(Numbers(), Range(1, 4));
  Switch();
  Commit(3);
  Switch();
  std::vector<std::string> lines;
  ASSERT_EQ(sim::ReadRecordFile(layout.archiveValue + "\\ARC00001.001", lines), 0u);
  EXPECT_EQ(lines.size(), 5u);  // header and four rows
  ASSERT_EQ(sim::ReadRecordFile(layout.archiveValue + "\\ARC00002.001", lines), 0u);
  EXPECT_EQ(lines.size(), 4u);
  sim::Table log;
  ASSERT_EQ(sim::QueryView(home, sid, "v_$log", log), "");
  ASSERT_EQ(log.rows.size(), 3u);
  EXPECT_EQ(log.rows[0][2], "1");
  EXPECT_EQ(log.rows[0][5], "YES");
  EXPECT_EQ(log.rows[2][2], "3");
  EXPECT_EQ(log.rows[2][6], "CURRENT");
  EXPECT_EQ(Numbers(), Range(1, 7));
}

TEST_F(InstanceTest, AbortLeavesCommittedRowsOnlyInTheRedoAndStartupRecoversThem) {
  Startup("open");
  Commit(5);
  Shutdown("abort");
  // The USERS file has not seen the rows yet: it was last written at the open.
  sim::DataFile df;
  ASSERT_EQ(sim::ReadDataFile(layout.files[2].path, df), 0u);
  EXPECT_TRUE(df.records.empty());
  EXPECT_TRUE(df.fuzzy);
  EXPECT_EQ(Startup("open"), Plus(kStarted, {"Database mounted.", "Database opened."}));
  EXPECT_EQ(Numbers(), Range(1, 5));
}

TEST_F(InstanceTest, CopyTakenWhileOpenRefusesToOpenUntilRecovered) {
  Startup("open");
  Commit(3, 2);
  CopyDataFiles(".HOT", false);
  Commit(4, 3);
  Shutdown("immediate");
  CopyDataFiles(".HOT", true);
  EXPECT_EQ(Startup("open"), Plus(kStarted, {"Database mounted.", "ORA-01113: file 1 needs media recovery",
                                              "ORA-01110: data file 1: '" + layout.files[0].path + "'"}));
  std::vector<sim::Row> rows;
  EXPECT_EQ(sim::ListRows(home, sid, rows), "ORA-01219: database not open: queries allowed on fixed tables/views only");
  Lines rec = Recover();
  EXPECT_EQ(rec.back(), "Media recovery complete.");
  Shutdown("normal");
  EXPECT_EQ(Startup("open").back(), "Database opened.");
  EXPECT_EQ(Numbers(), Range(1, 7));
}

TEST_F(InstanceTest, ColdCopyPlusCompleteRecoveryKeepsEveryCommittedRow) {
  Startup("open");
  Commit(3);
  Shutdown("immediate");
  CopyDataFiles(".COLD", false);
  Startup("open");
  Commit(9, 4);  // two switches: sequences 1 and 2 archived, 3 current
  Shutdown("immediate");
  CopyDataFiles(".COLD", true);
  EXPECT_EQ(Startup("open").back(), "ORA-01110: data file 1: '" + layout.files[0].path + "'");
  Startup("mount", true);
  Lines rec = Recover();
  EXPECT_TRUE(Has(rec, "ORA-00289: suggestion : " + layout.archiveValue + "\\ARC00001.001"));
  EXPECT_TRUE(Has(rec, "ORA-00289: suggestion : " + layout.archiveValue + "\\ARC00002.001"));
  EXPECT_TRUE(Has(rec, "Log applied."));
  EXPECT_EQ(rec.back(), "Media recovery complete.");
  Shutdown("normal");
  EXPECT_EQ(Startup("open").back(), "Database opened.");
  EXPECT_EQ(Numbers(), Range(1, 12));
}

TEST_F(InstanceTest, RecoveryUntilTimeKeepsExactlyTheEarlierRowsAndNeedsResetlogs) {
  Startup("open");
  Shutdown("immediate");
  CopyDataFiles(".COLD", false);
  Startup("open");
  Commit(5, 2);
  Sleep(1100);
  std::string until = sim::NowText();
  Sleep(1100);
  Commit(6, 2);
  Shutdown("immediate");
  CopyDataFiles(".COLD", true);
  Startup("mount", true);
  EXPECT_EQ(Recover(until).back(), "Media recovery complete.");
  Shutdown("normal");
  EXPECT_EQ(Startup("open").back(), "ORA-01589: must use RESETLOGS or NORESETLOGS option for database open");
  Shutdown("immediate");
  Startup("mount");
  EXPECT_EQ(Resetlogs(), Lines{"Database altered."});
  EXPECT_EQ(Numbers(), Range(1, 5));
  // The new incarnation goes on numbering after the rows it kept.
  Commit(2, 1);
  EXPECT_EQ(Numbers(), Range(1, 7));
}

TEST_F(InstanceTest, RecoveryStopsAtAMissingArchivedLog) {
  Startup("open");
  Shutdown("immediate");
  CopyDataFiles(".COLD", false);
  Startup("open");
  Commit(6, 1);  // sequence 2 is no longer online either
  Shutdown("immediate");
  ASSERT_TRUE(DeleteFileA((layout.archiveValue + "\\ARC00002.001").c_str()));
  CopyDataFiles(".COLD", true);
  Startup("mount");
  Lines rec = Recover();
  EXPECT_TRUE(Has(rec, "ORA-00308: cannot open archived log '" + layout.archiveValue + "\\ARC00002.001'")) << rec.size();
  EXPECT_NE(rec.back(), "Media recovery complete.");
  Shutdown("immediate");
  EXPECT_EQ(Startup("open").back(), "ORA-01110: data file 1: '" + layout.files[0].path + "'");
}

TEST_F(InstanceTest, MissingFilesStopStartupWithOraclesErrors) {
  ASSERT_TRUE(DeleteFileA(layout.controlFiles[1].c_str()));
  EXPECT_EQ(Startup("open"), Plus(kStarted, {"ORA-00205: error in identifying control file, check alert log for more info"}));
  Shutdown("abort");
  // A copy from before the last change (an old backup) disagrees with the other one.
  ASSERT_TRUE(CopyFileA(layout.controlFiles[0].c_str(), layout.controlFiles[1].c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(layout.controlFiles[0].c_str(), (root + "\\OLD.CTL").c_str(), FALSE));
  Startup("open");
  Shutdown("immediate");
  ASSERT_TRUE(CopyFileA((root + "\\OLD.CTL").c_str(), layout.controlFiles[1].c_str(), FALSE));
  Lines out = Startup("open");
  ASSERT_EQ(out.size(), kStarted.size() + 1);
  EXPECT_EQ(out.back().find("ORA-00214: controlfile '" + layout.controlFiles[0] + "' version "), 0u) << out.back();
  EXPECT_NE(out.back().find("inconsistent with file '" + layout.controlFiles[1] + "' version "), std::string::npos);
  Shutdown("abort");
  ASSERT_TRUE(CopyFileA(layout.controlFiles[0].c_str(), layout.controlFiles[1].c_str(), FALSE));
  ASSERT_TRUE(DeleteFileA(layout.files[2].path.c_str()));
  EXPECT_EQ(Startup("open"), Plus(kStarted, {"Database mounted.",
                                              "ORA-01157: cannot identify/lock data file 3 - see DBWR trace file",
                                              "ORA-01110: data file 3: '" + layout.files[2].path + "'"}));
}

TEST_F(InstanceTest, MissingRedoMemberIsMarkedInvalidAndClearedWhenItsGroupIsReused) {
  ASSERT_TRUE(DeleteFileA(layout.redoMembers[0][1].c_str()));
  EXPECT_EQ(Startup("open").back(), "Database opened.");
  sim::Table t;
  ASSERT_EQ(sim::QueryView(home, sid, "v_$logfile", t), "");
  ASSERT_EQ(t.columns, (std::vector<std::string>{"GROUP#", "STATUS", "MEMBER"}));
  EXPECT_EQ(t.rows[0], (std::vector<std::string>{"1", "", layout.redoMembers[0][0]}));
  EXPECT_EQ(t.rows[1], (std::vector<std::string>{"1", "INVALID", layout.redoMembers[0][1]}));
  ASSERT_TRUE(CopyFileA(layout.redoMembers[0][0].c_str(), layout.redoMembers[0][1].c_str(), FALSE));
  for (int i = 0; i < 3; ++i) Switch();
  ASSERT_EQ(sim::QueryView(home, sid, "v_$logfile", t), "");
  EXPECT_EQ(t.rows[1][1], "");
}

TEST_F(InstanceTest, DictionaryViewsNeedTheirStateAndShowTheLayout) {
  struct Case { const char* view; const char* down; const char* started; const char* mounted; };
  const Case cases[] = {
      {"v_$parameter", "ORA-01034: ORACLE not available", "", ""},
      {"v_$logfile", "ORA-01034: ORACLE not available", "ORA-01507: database not mounted", ""},
      {"v_$log", "ORA-01034: ORACLE not available", "ORA-01507: database not mounted", ""},
      {"dba_data_files", "ORA-01034: ORACLE not available",
       "ORA-01219: database not open: queries allowed on fixed tables/views only",
       "ORA-01219: database not open: queries allowed on fixed tables/views only"},
      {"all_directories", "ORA-01034: ORACLE not available",
       "ORA-01219: database not open: queries allowed on fixed tables/views only",
       "ORA-01219: database not open: queries allowed on fixed tables/views only"},
      {"v_$session_wait", "ORA-00942: table or view does not exist",
       "ORA-00942: table or view does not exist", "ORA-00942: table or view does not exist"}};
  sim::Table t;
  for (const auto& c : cases) EXPECT_EQ(sim::QueryView(home, sid, c.view, t), c.down) << c.view;
  Startup("nomount");
  for (const auto& c : cases) EXPECT_EQ(sim::QueryView(home, sid, c.view, t), c.started) << c.view;
  Shutdown("abort");
  Startup("mount");
  for (const auto& c : cases) EXPECT_EQ(sim::QueryView(home, sid, c.view, t), c.mounted) << c.view;
  Shutdown("abort");
  Startup("open");

  ASSERT_EQ(sim::QueryView(home, sid, "v_$parameter", t), "");
  std::map<std::string, std::string> p;
  for (const auto& r : t.rows) p[r[0]] = r[1];
  EXPECT_EQ(p["control_files"], layout.controlFiles[0] + ", " + layout.controlFiles[1]);
  EXPECT_EQ(p["log_archive_dest"], layout.archiveValue);
  EXPECT_EQ(p.count("log_archive_dest_1"), 1u);
  EXPECT_EQ(p["log_archive_dest_1"], "");
  EXPECT_EQ(p["db_name"], sid);
  ASSERT_EQ(sim::QueryView(home, sid, "dba_data_files", t), "");
  ASSERT_EQ(t.rows.size(), 3u);
  EXPECT_EQ(t.rows[2], (std::vector<std::string>{layout.files[2].path, "3", "USERS", "3145728", "AVAILABLE"}));
  ASSERT_EQ(sim::QueryView(home, sid, "all_directories", t), "");
  ASSERT_EQ(t.rows.size(), 1u);
  EXPECT_EQ(t.rows[0], (std::vector<std::string>{"SYS", "ARCHIV", layout.archivDirectory}));
}

TEST_F(InstanceTest, DataFilesHaveTheirRealSize) {
  WIN32_FILE_ATTRIBUTE_DATA a;
  ASSERT_TRUE(GetFileAttributesExA(layout.files[2].path.c_str(), GetFileExInfoStandard, &a));
  EXPECT_EQ(a.nFileSizeLow, 3u << 20);
  Startup("open");
  Commit(20, 5);
  Shutdown("immediate");
  ASSERT_TRUE(GetFileAttributesExA(layout.files[2].path.c_str(), GetFileExInfoStandard, &a));
  EXPECT_EQ(a.nFileSizeLow, 3u << 20);
  ASSERT_TRUE(GetFileAttributesExA(layout.redoMembers[1][1].c_str(), GetFileExInfoStandard, &a));
  EXPECT_EQ(a.nFileSizeLow, 256u * 1024);
}

}  // namespace
