#include "startup_fixture.h"

#include "app/globals.h"
#include "app/main_form.h"

#include <algorithm>
#include "log/log.h"

namespace kxtest {

void WriteSettings(const std::string& file, const Settings& settings) {
  std::string text;
  for (const auto& [key, value] : settings) text += key + " = " + value + "\r\n";
  WriteFileBytes(file, text);
}

void ExpectFreeSpaceShown(const std::string& label, int driveNumber) {
  std::string digits = label;
  digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
  const long long shown = std::stoll(digits);
  EXPECT_EQ(FormatByteCount(shown), label);
  EXPECT_NEAR(double(shown), double(DriveFreeSpace(driveNumber)), 1e9) << label;
}

void ResetSettings() {
  for (std::string* s : {&LanguageCode, &MsgCannotCreateFile, &MsgCannotCreateDir, &MsgProcessingImpossible,
                         &MsgCopying, &MsgTo, &MsgIsOk, &MsgFailedErrorNumber, &CopiesDir, &SelectedBackupDir,
                         &ArchiveBankDir, &UserName, &UserPass, &ServerName, &OracleHome, &ServerSid, &InitOraPath,
                         &SpfileOraPath, &ToolProgram, &ToolCommandLine, &ToolScriptArgument, &OracleVersionText})
    s->clear();
  RequiredSpace = FreeSpace = 0;
  BusyFlag = InvalidRedoFound = RecoveryMode = StartupComplete = false;
  CopiesNumber = DefaultCopiesNumber = LastBackupStamp = VersionClass = 0;
  for (OwnedList* l : {&OracleServiceList, &BackupSetList, &ControlFileList, &RedoMemberList, &RedoPairList,
                       &ArchiveDestList, &ArchivedLogList, &ArchiveBankFileList, &RedoStatusList})
    l->reset();
}

void SetRegistryString(const char* key, const char* name, const std::string& value) {
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), 0);
  RegSetValueExA(k, name, 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
  RegCloseKey(k);
}

void DeleteOracleKeys() {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ORACLE\\HOME0");
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ORACLE");
}

static void DrainQuit() {
  MSG m;
  while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

void StartupTest::SetUp() {
  ResetSettings();
  SetFixedClock(MakeTime(2003, 12, 9, 9, 5, 7));
  MF = new TMF;
  DeleteOracleKeys();
  InstallHome(home);
  SetRegistryString("SOFTWARE\\ORACLE\\HOME0", "NLS_LANG", "AMERICAN_AMERICA.CL8MSWIN1251");
  kantrix = {{"LANG", "E"},          {"SERVER_SID", "ORCL"}, {"COPIES_DIR", dir / "COPIES"},
             {"USER_NAME", "system"}, {"USER_PASS", "manager"}, {"TIME_PERIOD", "1"},
             {"TIME_BACKUP", "23:30"}};
}

void StartupTest::TearDown() {
  MF->TrayIcon1.Destroy();
  DestroyWindow(MF->Form.hwnd);
  DrainQuit();
  DeleteOracleKeys();
  RemoveTree("C:\\KXS3");
  for (const char* f : {"c:\\sORCL.sql", "c:\\svrORCL.bat"}) DeleteFileA(f);
  ResetClock();
  ResetSettings();
}

void StartupTest::Restart() {
  TearDown();
  SetCurrentDirectoryA(dir.previous.c_str());
  RemoveTree(dir.path);
  CreateDirectoryA(dir.path.c_str(), nullptr);
  SetCurrentDirectoryA(dir.path.c_str());
  boxes.calls.clear();
  SetUp();
}

void InstallOracleHome(const std::string& oracleHome) {
  for (size_t p = 0; (p = oracleHome.find('\\', p + 1)) != std::string::npos;)
    CreateDirectoryA(oracleHome.substr(0, p).c_str(), nullptr);
  CreateDirectoryA(oracleHome.c_str(), nullptr);
  CreateDirectoryA((oracleHome + "\\DATABASE").c_str(), nullptr);
  WriteFileBytes(oracleHome + "\\DATABASE\\initORCL.ora", "db_name = ORCL\r\n");
  SetRegistryString("SOFTWARE\\ORACLE", "ORACLE_HOME", oracleHome);
}

Outcome StartupTest::Activate() {
  MF->FormActivate();
  MSG m;
  if (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return Outcome::Ended;
  return StartupComplete ? Outcome::Complete : Outcome::Stopped;
}

}  // namespace kxtest
