// kantrix.exe started in a working folder of its own, its window read back from outside.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <functional>

#include "app/main_form.h"
#include "platform/scoped.h"
#include "platform/text.h"
#include "stand_in_services.h"
#include "startup_fixture.h"

using namespace kxtest;

namespace {

// The form's children in creation order.
enum Child {
  Button1 = 0, Button2 = 1, Memo1 = 2, StatusBar1 = 3, Edit1 = 7, Button3 = 8, Button4 = 9, ComboBox1 = 10,
  Button5 = 11, Button6 = 13, RadioButton1 = 17, RadioButton2 = 18, Edit2 = 19, Label3 = 20, Button7 = 21,
  Label8 = 22, Label4 = 23
};

std::string WindowText(HWND w) {
  wchar_t text[1024] = {};
  SendMessageTimeoutW(w, WM_GETTEXT, 1024, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, nullptr);
  return ui::FromWide(text);
}

bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 100) {
    if (done()) return true;
    Sleep(100);
  }
  return done();
}

std::vector<DWORD> ChildrenNamed(DWORD parent, const char* exe) {
  std::vector<DWORD> ids;
  ui::AutoCloseHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 e = {};
  e.dwSize = sizeof e;
  for (BOOL ok = Process32First(snap, &e); ok; ok = Process32Next(snap, &e))
    if (e.th32ParentProcessID == parent && _stricmp(e.szExeFile, exe) == 0) ids.push_back(e.th32ProcessID);
  return ids;
}

// One run of the program, ended when the test is done with it.
struct Program {
  PROCESS_INFORMATION pi = {};
  HWND form = nullptr;

  Program() {
    std::string exe = WindowsPath(KANTRIX_EXE);
    std::string line = "\"" + exe + "\"";
    // Started as from the desktop: no console and no standard handles of ours, so the batches
    // it starts get consoles of their own.
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    EXPECT_TRUE(
        CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, cwd, &si, &pi));
  }
  ~Program() {
    if (Running()) TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  bool Running() const { return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
  bool Exits(DWORD ms) const { return WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0; }

  // The program's top-level windows of a class.
  struct Search {
    DWORD pid;
    const char* cls;
    std::vector<HWND> found;
  };
  static BOOL CALLBACK Collect(HWND w, LPARAM p) {
    auto* s = (Search*)p;
    DWORD pid;
    GetWindowThreadProcessId(w, &pid);
    char cls[64];
    GetClassNameA(w, cls, sizeof cls);
    if (pid == s->pid && strcmp(cls, s->cls) == 0 && IsWindowVisible(w)) s->found.push_back(w);
    return TRUE;
  }
  std::vector<HWND> Windows(const char* cls) const {
    Search s = {pi.dwProcessId, cls, {}};
    EnumWindows(Collect, (LPARAM)&s);
    return s.found;
  }
  bool WaitForForm() {
    WaitUntil([&] { return !Windows("TMF").empty(); }, 30000);
    std::vector<HWND> forms = Windows("TMF");
    form = forms.empty() ? nullptr : forms[0];
    return form != nullptr;
  }
  HWND Control(int index) const {
    HWND c = GetWindow(form, GW_CHILD);
    for (int i = 0; c && i < index; ++i) c = GetWindow(c, GW_HWNDNEXT);
    return c;
  }
  std::string Text(int index) const { return WindowText(Control(index)); }
  bool Enabled(int index) const { return IsWindowEnabled(Control(index)); }
  bool Visible(int index) const { return IsWindowVisible(Control(index)); }

  // The open message box: its text, and a click on the button of that caption.
  HWND WaitForBox(DWORD ms = 30000) const {
    HWND box = nullptr;
    WaitUntil(
        [&] {
          std::vector<HWND> boxes = Windows("#32770");
          box = boxes.empty() ? nullptr : boxes[0];
          return box != nullptr;
        },
        ms);
    return box;
  }
  static std::string BoxText(HWND box) {
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      char cls[64];
      GetClassNameA(c, cls, sizeof cls);
      std::string text = WindowText(c);
      if (_stricmp(cls, "Static") == 0 && !text.empty()) return text;
    }
    return {};
  }
  static bool Answer(HWND box, const char* caption) {
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      char cls[64];
      GetClassNameA(c, cls, sizeof cls);
      std::string text = WindowText(c);
      text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
      if (_stricmp(cls, "Button") == 0 && text == caption) {
        PostMessageW(c, BM_CLICK, 0, 0);
        return true;
      }
    }
    return false;
  }
  // Closes through the close question, as the person would.
  void Close() {
    PostMessageW(form, WM_CLOSE, 0, 0);
    HWND box = WaitForBox(10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), "Finish the session?");
    Answer(box, "Yes");
    EXPECT_TRUE(Exits(10000));
  }
};

struct RunTest : testing::Test {
  TempDir dir;
  const std::string home = "C:\\KXS3\\ORACLE\\ORA81";
  void SetUp() override {
    DeleteOracleKeys();
    InstallOracleHome(home);
    SetRegistryString("SOFTWARE\\ORACLE\\HOME0", "NLS_LANG", "AMERICAN_AMERICA.CL8MSWIN1251");
  }
  void TearDown() override {
    DeleteOracleKeys();
    RemoveTree("C:\\KXS3");
    DeleteFileA("c:\\soORCL.bat");
  }
};

bool StartupLogged() {
  const std::vector<std::string> log = WorkLogTexts();
  return !log.empty() && log.back() == "----------------------------------";
}

// A simulated 8.1 host: its home, registry values, instance and services.
struct HostRunTest : RunTest {
  void SetUp() override {
    RunTest::SetUp();
    ASSERT_TRUE(Simctl("setup --release 8.1 --copies C:\\KXBACKUP --sid ORCL"));
  }
  void TearDown() override {
    EXPECT_TRUE(Simctl("teardown"));
    RemoveTree("C:\\KXBACKUP");
    RunTest::TearDown();
  }
};

TEST_F(HostRunTest, BackupModeOnASimulated81HostAndRestartOfItsServices) {
  const std::string home = "C:\\ORACLE\\ORA81", copies = "C:\\KXBACKUP";
  const bool archivesThere = FileExists(copies + "\\ARCHIVES");
  WriteSettings("kantrix.ini", {{"LANG", "E"},
                                {"SERVER_SID", "ORCL"},
                                {"COPIES_DIR", copies},
                                {"SERVER_NAME", "ORCL"},
                                {"USER_NAME", "sys"},
                                {"USER_PASS", "change_on_install"},
                                {"TIME_PERIOD", "1"},
                                {"TIME_BACKUP", "23:30"}});
  Program p;
  ASSERT_TRUE(p.WaitForForm());
  ASSERT_TRUE(WaitUntil(StartupLogged, 30000));
  EXPECT_TRUE(p.Windows("#32770").empty());

  EXPECT_EQ(WindowText(p.form), "RIVIDI VUZUDI DOV ERURAVAR Uzevuru (8, 8i, 9i) 04.04.2003");
  EXPECT_TRUE(p.Enabled(Button1));
  EXPECT_FALSE(p.Enabled(Button3));
  EXPECT_TRUE(p.Enabled(Button6));
  for (int b : {Button2, Button4, Button5, Button7}) EXPECT_TRUE(p.Enabled(b)) << b;
  EXPECT_FALSE(p.Enabled(ComboBox1));
  HWND combo = p.Control(ComboBox1);
  ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 1);
  wchar_t item[64] = {};
  SendMessageW(combo, CB_GETLBTEXT, 0, (LPARAM)item);
  EXPECT_EQ(ui::FromWide(item), "ORCL");
  for (int c : {RadioButton1, RadioButton2, Edit2, Label3}) EXPECT_FALSE(p.Visible(c)) << c;
  EXPECT_EQ(p.Text(Edit1), copies);
  EXPECT_EQ(p.Text(Button4), "Restart OracleServiceORCL");
  EXPECT_EQ(p.Text(StatusBar1), "BACKUP mode - press BEGIN to BACKUP");
  ExpectFreeSpaceShown(p.Text(Label8), 3);
  EXPECT_EQ(p.Text(Label4), "");
  // The copies directory exists on the host; its archive bank may have to be made.
  std::vector<std::string> expected = {"", "Beginning of the work", "BACKUP mode ", "NLS_LANG in registry is OK!",
                                       "init.ora = " + home + "\\DATABASE\\initORCL.ora"};
  if (!archivesThere)
    expected.insert(expected.end(), {"Directory for BANK Archives doesn't exists. Creating...",
                                     "Directory " + copies + "\\ARCHIVES  is created."});
  expected.insert(expected.end(), {"Oracle Server  8.1.X", "Oracle SID: ORCL", "------Command String -------------",
                                   home + "\\BIN\\sqlplusw.exe \"sys/********@ORCL as sysdba\"",
                                   "----------------------------------"});
  const std::vector<std::string> startup = WorkLogTexts();
  EXPECT_EQ(startup, expected);
  EXPECT_TRUE(FileExists(copies + "\\ARCHIVES"));

  // "Restart OracleServiceORCL": the batch stops and starts the service, waiting at its
  // pauses for the key the person at its console presses.
  const DWORD before = QueryService("OracleServiceORCL").processId;
  PostMessageW(p.Control(Button4), BM_CLICK, 0, 0);
  std::vector<DWORD> batch;
  ASSERT_TRUE(WaitUntil([&] { return !(batch = ChildrenNamed(p.pi.dwProcessId, "cmd.exe")).empty(); }, 20000));
  EXPECT_FALSE(p.Enabled(Button4));
  EXPECT_TRUE(FileExists("c:\\soORCL.bat"));
  ui::AutoCloseHandle batchProcess(OpenProcess(SYNCHRONIZE, FALSE, batch[0]));
  const std::string keys = "\"" + WindowsPath(CONSOLE_KEYS) + "\" " + std::to_string(batch[0]);
  int presses = 0;
  while (WaitForSingleObject(batchProcess, 500) == WAIT_TIMEOUT && presses < 60) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION kp;
    std::string line = keys;
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &kp)) {
      WaitForSingleObject(kp.hProcess, 5000);
      CloseHandle(kp.hThread);
      CloseHandle(kp.hProcess);
    }
    ++presses;
  }
  EXPECT_EQ(WaitForSingleObject(batchProcess, 0), DWORD(WAIT_OBJECT_0));
  EXPECT_GE(presses, 2);  // it waited at both pauses
  EXPECT_TRUE(WaitUntil([&] { return p.Enabled(Button4); }, 10000));
  EXPECT_FALSE(FileExists("c:\\soORCL.bat"));
  const ServiceNow after = QueryService("OracleServiceORCL");
  EXPECT_EQ(after.state, DWORD(SERVICE_RUNNING));
  EXPECT_NE(after.processId, before);
  const std::vector<std::string> log = WorkLogTexts();
  const std::vector<std::string> restart(log.begin() + startup.size(), log.end());
  EXPECT_EQ(restart, (std::vector<std::string>{
                         "---------- Run c:\\soORCL.bat---------", "net stop \"OracleServiceORCL\"", "echo off",
                         " echo Please, wait about 2 minutes, then", " pause", "net start \"OracleServiceORCL\"",
                         "pause", "------------ End -----------------"}));
  EXPECT_TRUE(p.Enabled(Button1));
  EXPECT_TRUE(p.Enabled(Button6));
  p.Close();
}

TEST_F(RunTest, RecoveryModeInTheCopiesDirectory) {
  WriteSettings("dariro.ini", {{"ORACLE_VERSION", "8.1.7"},
                               {"INIT_ORA", home + "\\DATABASE\\initORCL.ora"},
                               {"USER_NAME", "system"},
                               {"USER_PASS", "manager"},
                               {"SERVER_SID", "ORCL"},
                               {"CONNECT_STR", "ORCL"}});
  WriteSettings("kantrix.in_", {{"LANG", "E"}, {"COPIES_DIR", dir.path}, {"TIME_PERIOD", "1"}});
  for (const char* set : {"BU031201", "BU031208", "BU031205"}) CreateDirectoryA(set, nullptr);
  Program p;
  ASSERT_TRUE(p.WaitForForm());
  ASSERT_TRUE(WaitUntil(StartupLogged, 30000));
  HWND combo = p.Control(ComboBox1);
  std::vector<std::string> items;
  for (int i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
    wchar_t item[64] = {};
    SendMessageW(combo, CB_GETLBTEXT, i, (LPARAM)item);
    items.push_back(ui::FromWide(item));
  }
  EXPECT_EQ(items, (std::vector<std::string>{"BU031208", "BU031205", "BU031201"}));
  EXPECT_EQ(WindowText(combo), "BU031208");
  EXPECT_TRUE(p.Enabled(ComboBox1));
  EXPECT_FALSE(p.Enabled(Button1));
  EXPECT_TRUE(p.Enabled(Button3));
  EXPECT_FALSE(p.Enabled(Button6));
  for (int b : {Button2, Button4, Button5, Button7}) EXPECT_TRUE(p.Enabled(b)) << b;
  for (int c : {RadioButton1, RadioButton2, Edit2, Label3}) EXPECT_TRUE(p.Visible(c)) << c;
  EXPECT_EQ(p.Text(Edit1), "");
  EXPECT_EQ(p.Text(StatusBar1), "RECOVERY mode - click BEGIN Recovery");
  ExpectFreeSpaceShown(p.Text(Label8), 3);
  const std::vector<std::string> log = WorkLogTexts();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[2], "RECOVERY mode ");
  p.Close();
}

TEST_F(RunTest, FailedChecksEndOrStopTheProgram) {
  {
    // No configuration file: the warning, then the end without the close question.
    Program p;
    HWND box = p.WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), "WARNING!");
    EXPECT_EQ(Program::BoxText(box), "No configuration files. Processing is impossible!");
    Program::Answer(box, "OK");
    EXPECT_TRUE(p.Exits(15000));
  }
  {
    // A registry error stops the start-up; the window stays open.
    WriteSettings("kantrix.ini", {{"COPIES_DIR", dir / "C"}, {"USER_NAME", "a"}, {"USER_PASS", "b"}, {"TIME_PERIOD", "1"}});
    HKEY k;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ORACLE", 0, KEY_ALL_ACCESS, &k), 0);
    DWORD number = 81;
    RegSetValueExA(k, "ORACLE_HOME", 0, REG_DWORD, (const BYTE*)&number, sizeof number);
    RegCloseKey(k);
    Program p;
    HWND box = p.WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(Program::BoxText(box).empty());
    Program::Answer(box, "OK");
    EXPECT_FALSE(p.Exits(3000));
    ASSERT_TRUE(p.WaitForForm());
    EXPECT_TRUE(p.Windows("#32770").empty());
    p.Close();
  }
}

}  // namespace
