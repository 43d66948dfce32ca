#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/main_form.h"
#include "log/log.h"
#include "oracle/oracle.h"
#include "platform/msgbox.h"
#include "stand_in_services.h"
#include "startup_fixture.h"

using namespace kxtest;

namespace {

// The service names of the running OracleService services in enumeration order.
std::vector<std::string> RunningSidsInOrder() {
  std::vector<std::string> sids;
  const int n = EnumerateActiveServices();
  for (int i = 0; i < n; ++i) {
    std::string name = ActiveServiceRecords()[i].lpServiceName;
    if (name.find("OracleService") != std::string::npos) sids.push_back(name.substr(13));
  }
  return sids;
}

// The running services a start-up lists, in enumeration order.
StringList RunningOracleServicesInOrder() {
  StringList names;
  const int n = EnumerateActiveServices();
  for (int i = 0; i < n; ++i) {
    std::string name = ActiveServiceRecords()[i].lpServiceName;
    for (const char* part : {"TNSListener", "OracleStart", "OracleService"})
      if (name.find(part) != std::string::npos) names.push_back(name);
  }
  return names;
}

std::vector<std::string> ComboItems() {
  std::vector<std::string> items;
  for (int i = 0; i < MF->ComboBox1.Count(); ++i) items.push_back(MF->ComboBox1.Item(i));
  return items;
}

TEST(DriveNumber, LettersOfBothCasesAndAnythingElse) {
  struct Case {
    char letter;
    int number;
  } cases[] = {{'A', 1}, {'a', 1}, {'B', 2}, {'c', 3}, {'q', 17}, {'Z', 26}, {'z', 26},
               {'\\', -1}, {'1', -1}, {'@', -1}, {'[', -1}, {'`', -1}, {'{', -1}, {'\0', -1}};
  for (const Case& c : cases) EXPECT_EQ(DriveNumber(c.letter), c.number) << c.letter;
  EXPECT_EQ(DriveFreeSpace(-1), -1);
  EXPECT_GT(DriveFreeSpace(3), 0);
}

TEST(PackLocalTime, MsDosDateTimeFromYear1980To2099) {
  struct Case {
    SYSTEMTIME at;
    uint32_t packed;
  } cases[] = {
      {MakeTime(1980, 1, 1, 0, 0, 0), (1u << 21) | (1u << 16)},
      {MakeTime(2003, 12, 9, 23, 50, 1), (23u << 25) | (12u << 21) | (9u << 16) | (23u << 11) | (50u << 5)},
      {MakeTime(2003, 12, 9, 9, 14, 47), (23u << 25) | (12u << 21) | (9u << 16) | (9u << 11) | (14u << 5) | 23u},
      {MakeTime(2099, 12, 31, 23, 59, 59),
       (119u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u},
      {MakeTime(1979, 12, 31, 23, 59, 59), 0},
      {MakeTime(2100, 1, 1, 0, 0, 0), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(uint32_t(PackLocalTime(c.at)), c.packed) << c.at.wYear;
  // From 2044 on the packed value is negative: the scheduler compares it signed.
  EXPECT_LT(PackLocalTime(MakeTime(2044, 1, 1, 0, 0, 0)), 0);
}

TEST_F(StartupTest, BackupModeOnAn81Host) {
  // A name that holds "OracleService" further inside gives what follows its 13th character.
  // Names of their own, so that no simulated host of another test is in the way.
  StandInServices services({"OracleServiceKXO", "OracleServiceKXT", "OracleKXHomeTNSListener", "XOracleServiceKXI"});
  kantrix["USER_PASS"] = "s3cr3t";
  WriteSettings("kantrix.ini", kantrix);
  ASSERT_EQ(Activate(), Outcome::Complete);
  TMF& f = *MF;
  const std::string copies = dir / "COPIES";

  EXPECT_TRUE(f.Button1.Enabled());
  EXPECT_FALSE(f.Button3.Enabled());
  EXPECT_TRUE(f.Button6.Enabled());
  for (ui::Button* b : {&f.Button2, &f.Button4, &f.Button5, &f.Button7}) EXPECT_TRUE(b->Enabled());
  EXPECT_FALSE(f.ComboBox1.Enabled());
  const std::vector<std::string> sids = ComboItems();
  EXPECT_EQ(sids, RunningSidsInOrder());
  for (const char* sid : {"KXO", "KXT", "eKXI"}) EXPECT_NE(std::find(sids.begin(), sids.end(), sid), sids.end()) << sid;
  for (ui::Control* c : std::initializer_list<ui::Control*>{&f.RadioButton1, &f.RadioButton2, &f.Edit2, &f.Label3})
    EXPECT_FALSE(c->Visible());
  EXPECT_EQ(f.Edit1.Text(), copies);
  EXPECT_EQ(f.Button4.Text(), "Restart OracleServiceORCL");
  EXPECT_EQ(f.StatusBar1.PanelText(), "BACKUP mode - press BEGIN to BACKUP");
  EXPECT_EQ(f.TrayIcon1.Hint(), "ORCL - BackUp mode, waiting for BackUp time");
  EXPECT_EQ(f.TrayIcon1.IconIndex(), 0);
  ExpectFreeSpaceShown(f.Label8.Text(), 3);
  EXPECT_EQ(f.Label4.Text(), "");
  EXPECT_EQ(f.Form.Caption(), "RIVIDI VUZUDI DOV ERURAVAR Uzevuru (8, 8i, 9i) 04.04.2003");
  EXPECT_EQ(f.Button7.Text(), "View current Log");

  EXPECT_FALSE(RecoveryMode);
  EXPECT_EQ(VersionClass, 0);
  EXPECT_EQ(CopiesDir, copies);
  EXPECT_EQ(InitOraPath, home + "\\DATABASE\\initORCL.ora");
  EXPECT_EQ(DefaultCopiesNumber, 4);
  EXPECT_EQ(LastBackupStamp, 0);
  EXPECT_EQ(*OracleServiceList, RunningOracleServicesInOrder());
  for (const char* name : {"OracleServiceKXO", "OracleServiceKXT", "OracleKXHomeTNSListener", "XOracleServiceKXI"})
    EXPECT_NE(std::find(OracleServiceList->begin(), OracleServiceList->end(), name), OracleServiceList->end()) << name;
  EXPECT_TRUE(FileExists(copies + "\\ARCHIVES"));
  EXPECT_EQ(ToolCommandLine, home + "\\BIN\\sqlplusw.exe \"sys/s3cr3t@ as sysdba\"");
  EXPECT_EQ(WorkLogTexts(), (std::vector<std::string>{
                                "",
                                "Beginning of the work",
                                "BACKUP mode ",
                                "NLS_LANG in registry is OK!",
                                "init.ora = " + home + "\\DATABASE\\initORCL.ora",
                                "Directory for OFFLine copies doesn't exists. Creating...",
                                "Directory " + copies + " is created.",
                                "Directory for BANK Archives doesn't exists. Creating...",
                                "Directory " + copies + "\\ARCHIVES  is created.",
                                "Oracle Server  8.1.X",
                                "Oracle SID: ORCL",
                                "------Command String -------------",
                                home + "\\BIN\\sqlplusw.exe \"sys/********@ as sysdba\"",
                                "----------------------------------",
                            }));
  EXPECT_TRUE(boxes.calls.empty());
  // A second activation does not run the sequence again.
  f.FormActivate();
  EXPECT_EQ(WorkLogTexts().size(), 14u);
}

TEST_F(StartupTest, RecoveryModeListsTheSetsNewestFirst) {
  WriteSettings("dariro.ini", {{"ORACLE_VERSION", "8.1.7"},
                               {"INIT_ORA", "D:\\ORA\\initORCL.ora"},
                               {"USER_NAME", "system"},
                               {"USER_PASS", "manager"},
                               {"SERVER_SID", "ORCL"},
                               {"CONNECT_STR", "ORCL.WORLD"}});
  WriteSettings("kantrix.in_", {{"LANG", "English"}, {"ORACLE_VERSION", "8.1.6"}});
  for (const char* set : {"BU031201", "BU031208", "BU031205"}) CreateDirectoryA(set, nullptr);
  ASSERT_EQ(Activate(), Outcome::Complete);
  TMF& f = *MF;
  EXPECT_TRUE(RecoveryMode);
  EXPECT_EQ(ComboItems(), (std::vector<std::string>{"BU031208", "BU031205", "BU031201"}));
  EXPECT_EQ(f.ComboBox1.ItemIndex(), 0);
  EXPECT_EQ(f.ComboBox1.Text(), "BU031208");
  EXPECT_EQ(SelectedBackupDir, "BU031208");
  EXPECT_EQ(*BackupSetList, (StringList{"BU031201", "BU031205", "BU031208"}));
  EXPECT_FALSE(f.Button1.Enabled());
  EXPECT_TRUE(f.Button3.Enabled());
  EXPECT_FALSE(f.Button6.Enabled());
  EXPECT_TRUE(f.ComboBox1.Enabled());
  for (ui::Button* b : {&f.Button2, &f.Button4, &f.Button5, &f.Button7}) EXPECT_TRUE(b->Enabled());
  for (ui::Control* c : std::initializer_list<ui::Control*>{&f.RadioButton1, &f.RadioButton2, &f.Edit2, &f.Label3})
    EXPECT_TRUE(c->Visible());
  EXPECT_EQ(f.Edit1.Text(), "");
  EXPECT_EQ(f.Button4.Text(), "Restart OracleServiceORCL");
  EXPECT_EQ(f.StatusBar1.PanelText(), "RECOVERY mode - click BEGIN Recovery");
  EXPECT_EQ(f.TrayIcon1.Hint(), "ORCL - recovery mode");
  EXPECT_EQ(f.TrayIcon1.IconIndex(), 0);
  // The drive of the parameter file; D: is the prefix's, or none.
  ExpectFreeSpaceShown(f.Label8.Text(), 4);
  EXPECT_EQ(UserName, "system");
  EXPECT_EQ(ServerName, "ORCL.WORLD");
  EXPECT_EQ(InitOraPath, "D:\\ORA\\initORCL.ora");
  EXPECT_EQ(SpfileOraPath, "");
  EXPECT_EQ(OracleVersionText, "8.1.6");
  EXPECT_EQ(WorkLogTexts()[2], "RECOVERY mode ");
  EXPECT_TRUE(boxes.calls.empty());

  // The choice follows the list; no selection leaves it.
  f.ComboBox1.SetItemIndex(2);
  f.ComboBox1Change();
  EXPECT_EQ(SelectedBackupDir, "BU031201");
  f.ComboBox1.SetItemIndex(-1);
  f.ComboBox1Change();
  EXPECT_EQ(SelectedBackupDir, "BU031201");
}

TEST_F(StartupTest, NetworkPathHasNoDriveAndShowsMinusOne) {
  WriteSettings("dariro.ini", {{"SPFILE_ORA", "\\\\server\\share\\SPFILEORCL.ORA"},
                               {"USER_NAME", "system"},
                               {"USER_PASS", "manager"},
                               {"SERVER_SID", "ORCL"}});
  CreateDirectoryA("BU031201", nullptr);
  ASSERT_EQ(Activate(), Outcome::Complete);
  EXPECT_EQ(FreeSpace, -1);
  EXPECT_EQ(MF->Label8.Text(), "-1");
}

// Each failure of the table: its text, how it is shown, and what becomes of the program.
TEST_F(StartupTest, FailureRows) {
  const std::string plain = ui::ApplicationTitle;
  const std::string impossible = " ! Processing is impossible ! ";
  struct Case {
    const char* name;
    std::function<void(StartupTest&)> prepare;
    std::string text;  // of the one box
    std::string caption;
    Outcome outcome;
  } cases[] = {
      {"no configuration files", [](StartupTest&) {}, "No configuration files. Processing is impossible!",
       "WARNING!", Outcome::Ended},
      {"empty ORACLE_HOME",
       [](StartupTest& t) {
         WriteSettings("kantrix.ini", t.kantrix);
         SetRegistryString("SOFTWARE\\ORACLE", "ORACLE_HOME", "");
       },
       "There is no value ORACLE_HOME in Registry! Processing is impossible!", plain, Outcome::Ended},
      {"COPIES_DIR missing",
       [](StartupTest& t) {
         t.kantrix.erase("COPIES_DIR");
         WriteSettings("kantrix.ini", t.kantrix);
       },
       "Parameter 'Directory for OFFLine Backup' is not specified in KANTRIX.INI!\n" + impossible, "ERROR!",
       Outcome::Ended},
      {"COPIES_DIR is the program's folder",
       [](StartupTest& t) {
         char path[MAX_PATH];
         GetModuleFileNameA(nullptr, path, MAX_PATH);
         std::string folder = path;
         folder.erase(folder.rfind('\\'));
         CharUpperBuffA(folder.data(), (DWORD)folder.size());
         t.kantrix["COPIES_DIR"] = folder;
         WriteSettings("kantrix.ini", t.kantrix);
       },
       "Parameter 'Directory for OFFLine Backup' must be different from current catalogue where KANTRIX.EXE "
       "produces backup!\n" +
           impossible,
       "ERROR!", Outcome::Ended},
      {"no init file in backup mode",
       [](StartupTest& t) {
         DeleteFileA((t.home + "\\DATABASE\\initORCL.ora").c_str());
         WriteSettings("kantrix.ini", t.kantrix);
       },
       "There is no INIT file, processing is impossible!", plain, Outcome::Ended},
      {"USER_NAME missing",
       [](StartupTest& t) {
         t.kantrix.erase("USER_NAME");
         WriteSettings("kantrix.ini", t.kantrix);
       },
       "'USER_NAME'  is not specified in  KANTRIX.INI!\n" + impossible, "ERROR!", Outcome::Ended},
      {"USER_PASS missing",
       [](StartupTest& t) {
         t.kantrix.erase("USER_PASS");
         WriteSettings("kantrix.ini", t.kantrix);
       },
       "'USER_PASS'  is not specified in  KANTRIX.INI!\n" + impossible, "ERROR!", Outcome::Ended},
      {"TIME_PERIOD missing",
       [](StartupTest& t) {
         t.kantrix["TIME_PERIOD"] = "";
         WriteSettings("kantrix.ini", t.kantrix);
       },
       "'TIME_PERIOD'  is not specified in  KANTRIX.INI!\n" + impossible, "ERROR!", Outcome::Ended},
      {"USER_NAME missing in dariro.ini",
       [](StartupTest&) { WriteSettings("dariro.ini", {{"USER_PASS", "x"}, {"INIT_ORA", "C:\\i.ora"}}); },
       "'USER_NAME'  is not specified in  DARIRO.INI!\n" + impossible, "ERROR!", Outcome::Ended},
      {"USER_PASS missing in dariro.ini",
       [](StartupTest&) { WriteSettings("dariro.ini", {{"USER_NAME", "x"}, {"INIT_ORA", "C:\\i.ora"}}); },
       "'USER_PASS'  is not specified in  DARIRO.INI!\n" + impossible, "ERROR!", Outcome::Ended},
      {"no parameter file in dariro.ini",
       [](StartupTest&) { WriteSettings("dariro.ini", {{"USER_NAME", "x"}, {"USER_PASS", "y"}}); },
       "There is no INIT file, processing is impossible!", plain, Outcome::Ended},
      {"no backup set",
       [](StartupTest&) {
         WriteSettings("dariro.ini", {{"USER_NAME", "x"}, {"USER_PASS", "y"}, {"INIT_ORA", "C:\\i.ora"}});
       },
       "There are no Off-Line copies of Oracle Server in this directory!", "ERROR!", Outcome::Complete},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Restart();
    c.prepare(*this);
    EXPECT_EQ(Activate(), c.outcome);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, c.text);
    EXPECT_EQ(boxes.calls[0].caption, c.caption);
    // Plain boxes are not written to the work log; error and warning boxes are.
    const std::vector<std::string> log = WorkLogTexts();
    const bool inLog = std::find(log.begin(), log.end(), c.text.substr(0, c.text.find('\n'))) != log.end();
    EXPECT_EQ(inLog, c.caption != plain);
    boxes.calls.clear();
  }
}

TEST_F(StartupTest, ProgramFolderPassesWhenNotWrittenInCapitalsWithoutBackslash) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  folder.erase(folder.rfind('\\'));
  std::string upper = folder;
  CharUpperBuffA(upper.data(), (DWORD)upper.size());
  ASSERT_NE(folder, upper);  // the build folder is named in lower case
  for (const std::string& written : {folder, upper + "\\"}) {
    SCOPED_TRACE(written);
    Restart();
    kantrix["COPIES_DIR"] = written;
    WriteSettings("kantrix.ini", kantrix);
    EXPECT_EQ(Activate(), Outcome::Complete);
    EXPECT_TRUE(boxes.calls.empty());
    RemoveDirectoryA((folder + "\\ARCHIVES").c_str());
  }
}

TEST_F(StartupTest, StopsOnARegistryErrorAndGoesOnAfterAnNlsLangFailure) {
  WriteSettings("kantrix.ini", kantrix);
  HKEY k;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ORACLE", 0, KEY_ALL_ACCESS, &k), 0);
  DWORD number = 81;
  RegSetValueExA(k, "ORACLE_HOME", 0, REG_DWORD, (const BYTE*)&number, sizeof number);
  RegCloseKey(k);
  EXPECT_EQ(Activate(), Outcome::Stopped);
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].caption, ui::ApplicationTitle);
  EXPECT_FALSE(boxes.calls[0].text.empty());
  EXPECT_EQ(WorkLogTexts().back(), "BACKUP mode ");

  Restart();
  WriteSettings("kantrix.ini", kantrix);
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ORACLE\\HOME0", 0, KEY_ALL_ACCESS, &k), 0);
  RegSetValueExA(k, "NLS_LANG", 0, REG_DWORD, (const BYTE*)&number, sizeof number);
  RegCloseKey(k);
  EXPECT_EQ(Activate(), Outcome::Complete);
  const std::vector<std::string> log = WorkLogTexts();
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "Some unexpected problem with registry... Check ORACLE\\HOME0\\NLS_LANG parameter - it should "
                      "be AMERICAN_AMERICA.CL8MSWIN1251"),
            log.end());
}

TEST_F(StartupTest, CopiesDirectoryCreationFailures) {
  // A parent that does not exist ends the program.
  kantrix["COPIES_DIR"] = dir / "NO\\COPIES";
  WriteSettings("kantrix.ini", kantrix);
  EXPECT_EQ(Activate(), Outcome::Ended);
  ASSERT_EQ(boxes.calls.size(), 1u);
  const std::string head = "It's impossible to create directory   " + dir / "NO\\COPIES" + "  ";
  EXPECT_EQ(boxes.calls[0].text.substr(0, head.size()), head);
  EXPECT_GT(boxes.calls[0].text.size(), head.size());  // the system's text follows

  // An archive bank that cannot be made is logged, and the start-up goes on.
  Restart();
  kantrix["COPIES_DIR"] = dir / "COPIES\\";
  WriteSettings("kantrix.ini", kantrix);
  CreateDirectoryA("COPIES", nullptr);
  WriteFileBytes("COPIES\\ARCHIVES", "a file in the way");
  EXPECT_EQ(Activate(), Outcome::Complete);
  EXPECT_TRUE(boxes.calls.empty());
  EXPECT_EQ(CopiesDir, dir / "COPIES");  // the trailing backslash is dropped
  EXPECT_EQ(MF->Edit1.Text(), dir / "COPIES");
  const std::vector<std::string> log = WorkLogTexts();
  const std::string line = "It's impossible to create directory " + dir / "COPIES\\ARCHIVES error ";
  auto it = std::find_if(log.begin(), log.end(), [&](const std::string& l) { return l.rfind(line, 0) == 0; });
  ASSERT_NE(it, log.end());
  EXPECT_GT(it->size(), line.size());
}

TEST_F(StartupTest, ReleaseClassFromTheOracleHome) {
  struct Case {
    const char* home;
    int versionClass;
    const char* line;
  } cases[] = {
      {"C:\\KXS3\\ORACLE\\ORA81", 0, "Oracle Server  8.1.X"},
      {"C:\\KXS3\\ORANT", 1, "Oracle Server  8.0.4"},
      {"C:\\KXS3\\ORACLE\\ORA92", 2, "Oracle Server  9.X"},
      {"C:\\KXS3\\ORA81\\HOME9", 2, "Oracle Server  9.X"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.home);
    Restart();
    InstallHome(c.home);
    WriteSettings("kantrix.ini", kantrix);
    ASSERT_EQ(Activate(), Outcome::Complete);
    EXPECT_EQ(VersionClass, c.versionClass);
    const std::vector<std::string> log = WorkLogTexts();
    EXPECT_NE(std::find(log.begin(), log.end(), c.line), log.end());
  }
  // Without the registry key the release stays unknown; recovery mode does not need the home.
  Restart();
  DeleteOracleKeys();
  WriteSettings("dariro.ini", {{"USER_NAME", "x"}, {"USER_PASS", "y"}, {"INIT_ORA", "C:\\i.ora"}});
  CreateDirectoryA("BU031201", nullptr);
  ASSERT_EQ(Activate(), Outcome::Complete);
  EXPECT_EQ(VersionClass, 3);
  const std::vector<std::string> log = WorkLogTexts();
  EXPECT_NE(std::find(log.begin(), log.end(), "Oracle Server version is unknown. Try to execute as 8.1.X"), log.end());
}

TEST_F(StartupTest, LanguageOfWindowAndMessages) {
  struct Case {
    const char* lang;
    const char* caption;
    const char* button1;
    const char* status;
    const char* fragment;
  } cases[] = {
      {"R", "ORACLE Утилита резервного копирования и восстановления (8, 8i, 9i) 04.04.2003", "Начать BACKUP",
       "Режим BACKUP - нажмите кнопку BACKUP ", " ! Обработка невозможна ! "},
      {"X", "RIVIDI VUZUDI DOV ERURAVAR Uzevuru (8, 8i, 9i) 04.04.2003", "Begin BACKUP",
       "Режим BACKUP - нажмите кнопку BACKUP ", " ! Processing is impossible ! "},
      {"e", "RIVIDI VUZUDI DOV ERURAVAR Uzevuru (8, 8i, 9i) 04.04.2003", "Begin BACKUP",
       "Режим BACKUP - нажмите кнопку BACKUP ", " ! Processing is impossible ! "},
      {"", "RIVIDI VUZUDI DOV ERURAVAR Uzevuru (8, 8i, 9i) 04.04.2003", "Begin BACKUP",
       "BACKUP mode - press BEGIN to BACKUP", " ! Processing is impossible ! "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lang);
    Restart();
    if (*c.lang)
      kantrix["LANG"] = c.lang;
    else
      kantrix.erase("LANG");
    WriteSettings("kantrix.ini", kantrix);
    // dariro.ini beside kantrix.ini changes nothing: the language comes from kantrix.ini.
    WriteSettings("kantrix.in_", {{"LANG", "R"}});
    WriteSettings("dariro.ini", {{"USER_NAME", "x"}, {"USER_PASS", "y"}, {"INIT_ORA", "C:\\i.ora"}});
    ASSERT_EQ(Activate(), Outcome::Complete);
    EXPECT_FALSE(RecoveryMode);
    EXPECT_EQ(MF->Form.Caption(), c.caption);
    EXPECT_EQ(MF->Button1.Text(), c.button1);
    EXPECT_EQ(MF->StatusBar1.PanelText(), c.status);
    EXPECT_EQ(MsgProcessingImpossible, c.fragment);
  }
}

TEST_F(StartupTest, LastBackupStampIsTheNewestSetTime) {
  const std::string copies = dir / "COPIES";
  CreateDirectoryA(copies.c_str(), nullptr);
  struct Entry {
    const char* name;
    bool directory;
    SYSTEMTIME time;
  } entries[] = {
      {"BU031201", true, MakeTime(2003, 12, 1, 23, 50, 0)},
      {"BU031209", true, MakeTime(2003, 12, 9, 23, 50, 1)},
      {"BU031205.ZIP", false, MakeTime(2003, 12, 5, 10, 0, 0)},
      // Not a set: newer, but ignored.
      {"XBU031210", true, MakeTime(2003, 12, 10, 0, 0, 0)},
  };
  for (const Entry& e : entries) {
    const std::string path = copies + "\\" + e.name;
    if (e.directory)
      CreateDirectoryA(path.c_str(), nullptr);
    else
      WriteFileBytes(path, "x");
    FILETIME local, utc;
    SystemTimeToFileTime(&e.time, &local);
    LocalFileTimeToFileTime(&local, &utc);
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SetFileTime(h, nullptr, nullptr, &utc);
    CloseHandle(h);
  }
  WriteSettings("kantrix.ini", kantrix);
  ASSERT_EQ(Activate(), Outcome::Complete);
  // 9 December 2003 23:50:01 packs with the seconds halved.
  EXPECT_EQ(LastBackupStamp, int32_t((23u << 25) | (12u << 21) | (9u << 16) | (23u << 11) | (50u << 5) | 0u));
}

}  // namespace
