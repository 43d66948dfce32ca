#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/globals.h"
#include "app/main_form.h"
#include "log/log.h"
#include "platform/text.h"
#include "support.h"

using namespace kxtest;

namespace {

struct ControlState {
  std::string cls;
  RECT rect;  // left, top, width, height in the form's client area
  std::string text;
  bool enabled, visible;
};

// The child controls of a form as any process sees them through the Win32 API, in z-order
// (which is their creation order).
std::vector<ControlState> ReadControls(HWND form) {
  std::vector<ControlState> out;
  for (HWND c = GetWindow(form, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[64];
    GetClassNameW(c, cls, 64);
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, form, (POINT*)&r, 2);
    wchar_t text[256] = {};
    SendMessageTimeoutW(c, WM_GETTEXT, 256, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, nullptr);
    out.push_back({ui::FromWide(cls), {r.left, r.top, r.right - r.left, r.bottom - r.top}, ui::FromWide(text),
                   IsWindowEnabled(c) != 0, (GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE) != 0});
  }
  return out;
}

struct Expected {
  const char* cls;
  RECT rect;
  const char* text;
};

// The form's design: class, place and text of each control, in creation (= tab) order.
const Expected Design[] = {
    {"Button", {16, 80, 169, 25}, "Begin BACKUP"},
    {"Button", {304, 416, 75, 25}, "Close"},
    {"Edit", {16, 152, 657, 225}, ""},
    {"msctls_statusbar32", {0, 454, 677, 19}, ""},
    {"Static", {16, 40, 91, 13}, "Required space is :"},
    {"Static", {280, 40, 69, 13}, "Free space is :"},
    {"Static", {16, 12, 83, 13}, "PATH to BackUp"},
    {"Edit", {112, 8, 393, 21}, ""},
    {"Button", {520, 80, 150, 25}, "Begin RECOVERY"},
    {"Button", {520, 40, 150, 25}, "Restart OracleService"},
    {"ComboBox", {360, 80, 145, 21}, ""},
    {"Button", {520, 8, 150, 25}, "View Oracle Alert Log"},
    {"msctls_progress32", {16, 384, 657, 25}, ""},
    {"Button", {192, 80, 161, 25}, "Restore BACKUP disk"},
    {"Static", {16, 72, 654, 2}, ""},
    {"Static", {240, 40, 7, 13}, "B"},
    {"Static", {488, 40, 7, 13}, "B"},
    {"Button", {360, 112, 73, 17}, "Full"},
    {"Button", {464, 112, 49, 17}, "Until"},
    {"Edit", {520, 110, 150, 21}, ""},
    {"Static", {482, 136, 172, 13}, "Format   YYYY-MM-DD:HH24:MI:SE"},
    {"Button", {16, 112, 337, 25}, "View current log"},
    {"Static", {318, 40, 155, 13}, "______________________"},
    {"Static", {84, 40, 141, 13}, "____________________"},
};

// The memo's text is whatever the log view holds by then; it is checked where it matters.
void ExpectDesign(const std::vector<ControlState>& got, const char* memoText = "") {
  ASSERT_EQ(got.size(), std::size(Design));
  for (size_t i = 0; i < got.size(); i++) {
    const Expected& e = Design[i];
    SCOPED_TRACE(std::string("control ") + std::to_string(i) + " " + e.text);
    EXPECT_EQ(_stricmp(got[i].cls.c_str(), e.cls), 0) << got[i].cls;
    EXPECT_EQ(got[i].rect.left, e.rect.left);
    EXPECT_EQ(got[i].rect.top, e.rect.top);
    EXPECT_EQ(got[i].rect.right, e.rect.right);  // width
    if (std::string(e.cls) != "ComboBox") EXPECT_EQ(got[i].rect.bottom, e.rect.bottom);  // height
    else EXPECT_NEAR(got[i].rect.bottom, e.rect.bottom, 4);  // the closed height follows the font
    EXPECT_EQ(got[i].text, i == 2 ? memoText : e.text);
  }
}

struct MainWindow : testing::Test {
  TempDir dir;
  BoxRecorder boxes;
  void SetUp() override {
    LanguageCode = "E";
    RecoveryMode = false;
    BusyFlag = false;
    MF = new TMF;
    MF->Activated = true;  // the start-up sequence has its own tests
  }
  void TearDown() override {
    MF->TrayIcon1.Destroy();
    SetWindowLongPtrW(MF->Form.hwnd, GWLP_USERDATA, 0);
    DestroyWindow(MF->Form.hwnd);
    delete MF;
    MF = nullptr;
    LogView = nullptr;
    // The form's WM_DESTROY posts a quit message meant for a message loop this test has not.
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {}
  }
  static void Pump() {
    MSG m;
    for (int i = 0; i < 20; i++) {
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
      }
      Sleep(5);
    }
  }
};

TEST_F(MainWindow, FormAndControlsMatchTheDesign) {
  HWND f = MF->Form.hwnd;
  RECT r;
  GetWindowRect(f, &r);
  EXPECT_EQ(r.right - r.left, 685);
  EXPECT_EQ(r.bottom - r.top, 497);
  EXPECT_NEAR(r.left, (GetSystemMetrics(SM_CXSCREEN) - 685) / 2, 1);
  LONG style = GetWindowLongW(f, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_EQ(MF->Form.Caption(), "RIVIDI VUZUDI DOV ERURAVAR Uzevuru");
  ExpectDesign(ReadControls(f));
  LOGFONTW lf;
  GetObjectW((HFONT)SendMessageW(MF->Button1.hwnd, WM_GETFONT, 0, 0), sizeof lf, &lf);
  EXPECT_EQ(ui::FromWide(lf.lfFaceName), "MS Sans Serif");
  GetObjectW((HFONT)SendMessageW(MF->Label8.hwnd, WM_GETFONT, 0, 0), sizeof lf, &lf);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(GetWindowLongW(MF->Label8.hwnd, GWL_STYLE) & SS_RIGHT);
  EXPECT_TRUE(GetWindowLongW(MF->Memo1.hwnd, GWL_STYLE) & ES_READONLY);
  EXPECT_TRUE(MF->RadioButton2.Checked());
  EXPECT_FALSE(MF->RadioButton1.Checked());
  EXPECT_EQ(MF->TrayIcon1.Hint(), "Oracle BackUp&Recovery");
  EXPECT_EQ(MF->TrayIcon1.IconIndex(), 4);
}

TEST_F(MainWindow, TabOrderFollowsTheDesign) {
  MF->Form.Show();
  HWND order[] = {MF->Button1.hwnd, MF->Button2.hwnd,  MF->Memo1.hwnd,        MF->Edit1.hwnd,
                  MF->Button3.hwnd, MF->Button4.hwnd,  MF->ComboBox1.hwnd,    MF->Button5.hwnd,
                  MF->Button6.hwnd, MF->RadioButton1.hwnd, MF->RadioButton2.hwnd, MF->Edit2.hwnd,
                  MF->Button7.hwnd};
  HWND c = order[0];
  for (size_t i = 1; i < std::size(order); i++) {
    c = GetNextDlgTabItem(MF->Form.hwnd, c, FALSE);
    EXPECT_EQ(c, order[i]) << "after tab stop " << i;
  }
}

TEST_F(MainWindow, IdleStateOfEachMode) {
  ServerSid = "ORCL";
  for (ui::Control* c : {(ui::Control*)&MF->Button1, (ui::Control*)&MF->Button2, (ui::Control*)&MF->Button3,
                         (ui::Control*)&MF->Button4, (ui::Control*)&MF->Button5, (ui::Control*)&MF->Button6,
                         (ui::Control*)&MF->Button7})
    c->SetEnabled(false);
  MF->ComboBox1.AddItem("ORCL");
  MF->ComboBox1.SetEnabled(false);
  MF->StatusBar1.SetPanelText("BACKUP mode - press BEGIN to BACKUP");
  MF->CGauge1.SetProgress(40);
  BusyFlag = true;
  ControlFileList = std::make_unique<StringList>(StringList{"C:\\A.CTL"});
  RedoStatusList = std::make_unique<StringList>(StringList{"x=INVALID=1"});
  ShowModeStatus();
  EXPECT_FALSE(BusyFlag);
  EXPECT_EQ(ControlFileList, nullptr);
  ASSERT_NE(RedoStatusList, nullptr);  // kept for the repair of the next run
  EXPECT_TRUE(MF->Button1.Enabled());
  EXPECT_FALSE(MF->Button3.Enabled());  // backup mode leaves it as it was
  EXPECT_TRUE(MF->Button6.Enabled());
  for (ui::Button* b : {&MF->Button2, &MF->Button4, &MF->Button5, &MF->Button7}) EXPECT_TRUE(b->Enabled());
  for (ui::Control* c : {(ui::Control*)&MF->RadioButton1, (ui::Control*)&MF->RadioButton2,
                         (ui::Control*)&MF->Edit2, (ui::Control*)&MF->Label3})
    EXPECT_FALSE(c->Visible());
  EXPECT_FALSE(MF->ComboBox1.Enabled());
  EXPECT_EQ(MF->ComboBox1.Count(), 1);
  EXPECT_EQ(MF->StatusBar1.PanelText(), "BACKUP mode - press BEGIN to BACKUP");
  EXPECT_EQ(MF->CGauge1.Progress(), 40);
  EXPECT_EQ(MF->TrayIcon1.IconIndex(), 0);
  EXPECT_EQ(MF->TrayIcon1.Hint(), "ORCL - BackUp mode, waiting for BackUp time");

  RecoveryMode = true;
  LanguageCode = "R";
  MF->Button1.SetEnabled(false);
  MF->Button6.SetEnabled(true);
  ShowModeStatus();
  EXPECT_TRUE(MF->Button3.Enabled());
  EXPECT_FALSE(MF->Button1.Enabled());  // recovery mode leaves it as it was
  EXPECT_FALSE(MF->Button6.Enabled());
  for (ui::Control* c : {(ui::Control*)&MF->RadioButton1, (ui::Control*)&MF->RadioButton2,
                         (ui::Control*)&MF->Edit2, (ui::Control*)&MF->Label3})
    EXPECT_TRUE(c->Visible());
  EXPECT_EQ(MF->TrayIcon1.Hint(), "ORCL - режим Recovery ");
  RecoveryMode = false;
  RedoStatusList.reset();
}

TEST_F(MainWindow, CloseAsksAndNoKeepsTheWindowWithoutALogLine) {
  MF->Form.Show();
  Pump();
  // Button2, the tray menu's Exit and the close box all go through the close question.
  std::function<void()> ways[] = {
      [] { SendMessageW(MF->Button2.hwnd, BM_CLICK, 0, 0); },
      [] { MF->Exit1Click(); },
      [] { PostMessageW(MF->Form.hwnd, WM_CLOSE, 0, 0); },
  };
  for (auto& way : ways) {
    boxes.calls.clear();
    boxes.answers = {IDNO};
    way();
    Pump();
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Finish the session?");
    EXPECT_EQ(boxes.calls[0].caption, "Oracle BACKUP");
    EXPECT_EQ(boxes.calls[0].flags, UINT(MB_ICONQUESTION | MB_YESNO));
    EXPECT_EQ(boxes.calls[0].owner, MF->Form.hwnd);
    EXPECT_TRUE(IsWindow(MF->Form.hwnd));
  }
  EXPECT_TRUE(WorkLogTexts().empty());
}

TEST_F(MainWindow, CloseQuestionInEachLanguageAndYesLogsTheEnd) {
  struct Case { const char* lang; const char* question; const char* logLine; } cases[] = {
      {"E", "Finish the session?", "Work is finished"},
      {"R", "Закончить работу?", "Работа завершена"},
      {"X", "Закончить работу?", "Работа завершена"},
  };
  std::vector<std::string> expectedLog;
  for (auto& c : cases) {
    LanguageCode = c.lang;
    boxes.calls.clear();
    boxes.answers = {IDYES};
    EXPECT_TRUE(MF->FormCloseQuery());
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, c.question);
    EXPECT_EQ(boxes.calls[0].caption, "Oracle BACKUP");
    expectedLog.push_back(c.logLine);
  }
  EXPECT_EQ(WorkLogTexts(), expectedLog);
  EXPECT_EQ(MF->Memo1.Lines(), std::vector<std::string>({"  Work is finished", "  Работа завершена", "  Работа завершена"}));
}

TEST_F(MainWindow, CloseIsRefusedWhileABackupRuns) {
  BusyFlag = true;
  EXPECT_FALSE(MF->FormCloseQuery());
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].text, "Please wait until backup procedure is completed!");
  EXPECT_EQ(boxes.calls[0].flags, UINT(MB_OK));
  LanguageCode = "R";
  EXPECT_FALSE(MF->FormCloseQuery());
  EXPECT_EQ(boxes.calls[1].text, "Пожалуйста, подождите завершения работы программы!");
  EXPECT_TRUE(WorkLogTexts().empty());
  BusyFlag = false;
}

TEST_F(MainWindow, MinimizeHidesAndRestoreBringsBack) {
  MF->Form.Show();
  Pump();
  SendMessageW(MF->Form.hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(IsWindowVisible(MF->Form.hwnd));
  MF->Open1Click();
  EXPECT_TRUE(IsWindowVisible(MF->Form.hwnd));
  EXPECT_FALSE(IsIconic(MF->Form.hwnd));
  SendMessageW(MF->Form.hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  // A double click on the tray icon arrives as the icon's callback message.
  SendMessageW(MF->Form.hwnd, ui::Form::WM_TRAY, 1, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(IsWindowVisible(MF->Form.hwnd));
}

TEST_F(MainWindow, LogViewGetsEachEntry) {
  LanguageCode = "E";
  WriteWorkLog("Beginning of the work", 0);
  WriteWorkLog("", 0);
  WriteWorkLog("two\nlines", 0);
  EXPECT_EQ(MF->Memo1.Lines(), std::vector<std::string>({"  Beginning of the work", "  two", "lines"}));
}

TEST_F(MainWindow, AnExceptionInAHandlerIsShownAndTheProgramGoesOn) {
  ui::app::Dispatch([] { throw std::runtime_error("'1 ' is not a valid integer value"); });
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].text, "'1 ' is not a valid integer value");
  EXPECT_EQ(boxes.calls[0].flags, UINT(MB_OK | MB_ICONERROR));
}

TEST(FormatByteCount, GroupsOfThreeDigits) {
  struct Case { long long count; const char* text; } cases[] = {
      {0, "0"}, {100, "100"}, {999, "999"}, {1000, "1,000"}, {123456, "123,456"}, {1234567, "1,234,567"},
      {-1, "-1"}, {16492674416640LL, "16,492,674,416,640"},
  };
  for (auto& c : cases) EXPECT_EQ(FormatByteCount(c.count), c.text);
}

struct Found {
  DWORD pid;
  HWND form, box;
};

// The main window and the warning box of the process Found::pid.
BOOL CALLBACK FindProgramWindows(HWND w, LPARAM p) {
  auto* f = (Found*)p;
  DWORD pid;
  GetWindowThreadProcessId(w, &pid);
  if (pid != f->pid) return TRUE;
  wchar_t cls[64], text[64];
  GetClassNameW(w, cls, 64);
  GetWindowTextW(w, text, 64);
  if (!wcscmp(cls, L"TMF")) f->form = w;
  if (!wcscmp(cls, L"#32770") && !wcscmp(text, L"WARNING!")) f->box = w;
  return TRUE;
}

// The program itself, started in a folder without configuration files: its window is read
// from this process while the start-up's warning is open, then the warning is answered.
TEST(KantrixProcess, WindowReadFromOutsideThenNoConfigurationEndsTheProgram) {
  TempDir dir;
  std::string exe = std::string("Z:") + KANTRIX_EXE;
  for (char& ch : exe)
    if (ch == '/') ch = '\\';
  STARTUPINFOA si = {sizeof si};
  PROCESS_INFORMATION pi;
  std::string cmd = "\"" + exe + "\"";
  ASSERT_TRUE(CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.path.c_str(), &si, &pi))
      << GetLastError();
  Found found = {pi.dwProcessId, nullptr, nullptr};
  for (int i = 0; i < 300 && !found.box; i++) {
    Sleep(100);
    EnumWindows(FindProgramWindows, (LPARAM)&found);
  }
  ASSERT_NE(found.box, nullptr) << "no warning box";
  ASSERT_NE(found.form, nullptr);
  ExpectDesign(ReadControls(found.form), "  No configuration files. Processing is impossible!");
  // The box's text and its OK button.
  std::string boxText;
  HWND ok = nullptr;
  for (HWND c = GetWindow(found.box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[64], text[256];
    GetClassNameW(c, cls, 64);
    GetWindowTextW(c, text, 256);
    if (!_wcsicmp(cls, L"Static") && wcslen(text) > boxText.size()) boxText = ui::FromWide(text);
    if (!_wcsicmp(cls, L"Button")) ok = c;
  }
  EXPECT_EQ(boxText, "No configuration files. Processing is impossible!");
  ASSERT_NE(ok, nullptr);
  SendMessageW(ok, BM_CLICK, 0, 0);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::vector<std::string> log = WorkLogTexts();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "No configuration files. Processing is impossible!");
}

}  // namespace
