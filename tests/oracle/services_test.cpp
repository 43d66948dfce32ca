#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <atomic>
#include <thread>

#include "app/globals.h"
#include "app/main_form.h"
#include "console_keys.h"
#include "oracle/oracle.h"
#include "oracle_fixture.h"
#include "platform/scoped.h"
#include "platform/waits.h"
#include "stand_in_services.h"

using namespace kxtest;

namespace {

// Presses Enter at this program's console, which the batches it starts share, as the person
// at the console would at each pause. Without a console (a test run's input may be a file)
// the pauses read the end of that input and do not wait.
struct ConsoleKeys {
  std::atomic<bool> stop{false};
  std::thread presser;
  std::function<void()> watch;
  ConsoleKeys(std::function<void()> w = nullptr) : watch(std::move(w)) {
    presser = std::thread([this] {
      HANDLE in = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
      while (!stop) {
        if (watch) watch();
        if (in != INVALID_HANDLE_VALUE) kxtest::PressEnter(in);
        Sleep(300);
      }
      if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
    });
  }
  ~ConsoleKeys() {
    stop = true;
    presser.join();
  }
};

// The command interpreters this program started, to wait for the batches the wait gave up on.
std::vector<DWORD> ChildProcesses() {
  std::vector<DWORD> ids;
  ui::AutoCloseHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 e = {};
  e.dwSize = sizeof e;
  for (BOOL ok = Process32First(snap, &e); ok; ok = Process32Next(snap, &e))
    if (e.th32ParentProcessID == GetCurrentProcessId() && _stricmp(e.szExeFile, "cmd.exe") == 0)
      ids.push_back(e.th32ProcessID);
  return ids;
}

void ReleaseLeftBatches() {
  ConsoleKeys keys;
  for (DWORD id : ChildProcesses()) {
    ui::AutoCloseHandle p(OpenProcess(SYNCHRONIZE, FALSE, id));
    if (p.Ok()) {
      EXPECT_EQ(WaitForSingleObject(p, 20000), DWORD(WAIT_OBJECT_0));
    }
  }
}

TEST(ServiceStateName, NamesThePlatformStates) {
  const char* names[] = {"",
                         "SERVICE_STOPPED",
                         "SERVICE_START_PENDING",
                         "SERVICE_STOP_PENDING",
                         "SERVICE_RUNNING",
                         "SERVICE_CONTINUE_PENDING",
                         "SERVICE_PAUSE_PENDING",
                         "SERVICE_PAUSED",
                         ""};
  for (DWORD code = 0; code < std::size(names); ++code) EXPECT_EQ(ServiceStateName(code), names[code]) << code;
  EXPECT_EQ(ServiceStateName(SERVICE_RUNNING), "SERVICE_RUNNING");
  EXPECT_EQ(ServiceStateName(0xFFFFFFFF), "");
}

TEST_F(OracleTest, EnumerationListsRunningServicesWithTheirState) {
  StandInServices services({"OracleServiceKXE"});
  const int n = EnumerateActiveServices();
  ASSERT_GT(n, 0);
  const ENUM_SERVICE_STATUSA* records = ActiveServiceRecords();
  int found = 0;
  for (int i = 0; i < n; ++i)
    if (std::string(records[i].lpServiceName) == "OracleServiceKXE") {
      ++found;
      EXPECT_EQ(ServiceStateName(records[i].ServiceStatus.dwCurrentState), "SERVICE_RUNNING");
    }
  EXPECT_EQ(found, 1);
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(OracleTest, EnumerationGrowsABufferTooSmallForTheList) {
  StandInServices services({"OracleServiceKXE"});
  const int full = EnumerateActiveServices();
  // Registering more services than the usual buffer holds is not practical here; a buffer
  // shrunk below the list takes the same path.
  ServiceStatusBuffer.assign(64, 0);
  EXPECT_EQ(EnumerateActiveServices(), full);
  EXPECT_GT(ServiceStatusBuffer.size(), 64u);
  const ENUM_SERVICE_STATUSA* records = ActiveServiceRecords();
  bool found = false;
  for (int i = 0; i < full; ++i) found |= std::string(records[i].lpServiceName) == "OracleServiceKXE";
  EXPECT_TRUE(found);
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(OracleTest, ServicesBatchLinesFor80And81) {
  struct Case {
    int versionClass;
    std::vector<std::string> lines;
  } cases[] = {
      {0,
       {"net stop \"OracleServiceKXQ\"", "echo off", " echo Please, wait about 2 minutes, then", " pause",
        "net start \"OracleServiceKXQ\"", "pause"}},
      {1,
       {"net stop \"OracleStartKXQ\"", "net stop \"OracleServiceKXQ\"", "echo off",
        " echo Please, wait about 2 minutes, then", " pause", "net start \"OracleServiceKXQ\"",
        "net start \"OracleStartKXQ\"", "pause"}},
  };
  ServerSid = "KXQ";
  // The database service takes longer to take its stop request than the wait lasts, so the
  // batch is still in its first line when the wait runs out.
  StandInServices services({"OracleServiceKXQ"}, SERVICE_DEMAND_START, " slow-stop");
  const DWORD saved = ui::Waits.servicesMs;
  ui::Waits.servicesMs = 1000;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.versionClass);
    VersionClass = c.versionClass;
    DeleteFileA("ou091203.log");
    RestartServicesBatch();
    // The batch still waits at its first pause: the file stays so that its last lines run.
    std::string bytes;
    for (const std::string& l : c.lines) bytes += l + "\r\n";
    EXPECT_EQ(ReadFileBytes("c:\\soKXQ.bat"), bytes);
    std::vector<std::string> expected = {"---------- Run c:\\soKXQ.bat---------"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    expected.push_back("------------ End -----------------");
    EXPECT_EQ(WorkLogTexts(), expected);
    ReleaseLeftBatches();
    // Its "net start" line ran from the file that was kept.
    EXPECT_TRUE(WaitForState("OracleServiceKXQ", SERVICE_RUNNING));
    DeleteFileA("c:\\soKXQ.bat");
  }
  ui::Waits.servicesMs = saved;
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(OracleTest, ServicesBatchFailures) {
  ServerSid = "KXQ";
  ASSERT_TRUE(CreateDirectoryA("c:\\soKXQ.bat", nullptr));
  RestartServicesBatch();
  RemoveDirectoryA("c:\\soKXQ.bat");
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].text, "It's impossible to create file c:\\soKXQ.bat.  Processing is not possible!");
  EXPECT_EQ(boxes.calls[0].caption, "ERROR!");
  EXPECT_EQ(WorkLogTexts(), (std::vector<std::string>{boxes.calls[0].text}));
}

TEST_F(OracleTest, EnsureServicesAutoStart) {
  ServerSid = "KXA";
  struct Case {
    const char* name;
    DWORD startType;  // of both stand-ins
    StringList list;
    std::vector<std::string> log;
    DWORD databaseAfter, listenerAfter;
  } cases[] = {
      {"both changed",
       SERVICE_DEMAND_START,
       {"OracleKXATNSListener", "OracleServiceKXA"},
       {"Start Type of OracleServiceKXA is not SERVICE_AUTO_START",
        "Servce OracleServiceKXA START TYPE has been changed to SERVICE_AUTO_START",
        "Start Type of OracleKXATNSListener is not SERVICE_AUTO_START",
        "Servce OracleKXATNSListener START TYPE has been changed to SERVICE_AUTO_START"},
       SERVICE_AUTO_START,
       SERVICE_AUTO_START},
      {"already automatic",
       SERVICE_AUTO_START,
       {"OracleServiceKXA", "OracleKXATNSListener"},
       {"Start Type of OracleServiceKXA is SERVICE_AUTO_START",
        "Start Type of OracleKXATNSListener is SERVICE_AUTO_START"},
       SERVICE_AUTO_START,
       SERVICE_AUTO_START},
      {"no database service: the listener is left",
       SERVICE_DEMAND_START,
       {"OracleServiceOTHER", "OracleKXATNSListener"},
       {"Can not open service  to change StartType as SERVICE_AUTO_START"},
       SERVICE_DEMAND_START,
       SERVICE_DEMAND_START},
      {"no listener",
       SERVICE_DEMAND_START,
       {"OracleServiceKXA"},
       {"Start Type of OracleServiceKXA is not SERVICE_AUTO_START",
        "Servce OracleServiceKXA START TYPE has been changed to SERVICE_AUTO_START",
        "Can not open service  to change StartType as SERVICE_AUTO_START"},
       SERVICE_AUTO_START,
       SERVICE_DEMAND_START},
      // Listed at start-up but gone since.
      {"service missing",
       SERVICE_DEMAND_START,
       {"OracleServiceKXA", "OracleServiceKXAGONE"},
       {"Can not open service OracleServiceKXAGONE to change StartType as SERVICE_AUTO_START"},
       SERVICE_DEMAND_START,
       SERVICE_DEMAND_START},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StandInServices services({"OracleServiceKXA", "OracleKXATNSListener"}, c.startType);
    OracleServiceList = std::make_unique<StringList>(c.list);
    DeleteFileA("ou091203.log");
    EnsureServicesAutoStart();
    EXPECT_EQ(WorkLogTexts(), c.log);
    EXPECT_EQ(QueryService("OracleServiceKXA").startType, c.databaseAfter);
    EXPECT_EQ(QueryService("OracleKXATNSListener").startType, c.listenerAfter);
  }
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(OracleTest, EnsureServicesAutoStartInRussian) {
  ServerSid = "KXA";
  LanguageCode = "R";
  StandInServices services({"OracleServiceKXA"});
  OracleServiceList = std::make_unique<StringList>(StringList{"OracleServiceKXA"});
  EnsureServicesAutoStart();
  EXPECT_EQ(WorkLogTexts(), (std::vector<std::string>{
                                "Start Type OracleServiceKXA не является SERVICE_AUTO_START",
                                "Режим сервиса OracleServiceKXA был благополучно сменен на SERVICE_AUTO_START",
                                "Не могу открыть сервис  для смены StartType как SERVICE_AUTO_START"}));
}

TEST_F(OracleTest, Button4ClickRestartsTheServicesInBothModes) {
  ServerSid = "KXR";
  VersionClass = 0;
  // Slow to stop, so the restart lasts long enough to be watched.
  StandInServices services({"OracleServiceKXR"}, SERVICE_DEMAND_START, " slow-stop");
  struct Case {
    bool recovery;
    const char* hint;
  } cases[] = {{false, "KXR - BackUp mode, waiting for BackUp time"}, {true, "KXR - Recovery mode"}};
  TMF& f = *MF;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.recovery);
    RecoveryMode = c.recovery;
    BusyFlag = true;
    // What the click must leave alone shows in the opposite state.
    f.Button1.SetEnabled(false);
    f.Button3.SetEnabled(!c.recovery);
    f.Button6.SetEnabled(c.recovery);
    for (ui::Control* r : std::initializer_list<ui::Control*>{&f.RadioButton1, &f.RadioButton2, &f.Edit2, &f.Label3})
      r->SetVisible(false);
    f.TrayIcon1.SetIconIndex(2);
    const DWORD before = QueryService("OracleServiceKXR").processId;
    DeleteFileA("ou091203.log");

    std::atomic<bool> sawRestarting{false};
    {
      ConsoleKeys keys([&] {
        if (f.TrayIcon1.IconIndex() == 3 && !IsWindowEnabled(f.Button2.hwnd) && !IsWindowEnabled(f.Button4.hwnd) &&
            !IsWindowEnabled(f.Button7.hwnd))
          sawRestarting = true;
      });
      f.Button4Click();
    }
    EXPECT_TRUE(sawRestarting);
    const ServiceNow after = QueryService("OracleServiceKXR");
    EXPECT_EQ(after.state, DWORD(SERVICE_RUNNING));
    EXPECT_NE(after.processId, before);
    EXPECT_FALSE(FileExists("c:\\soKXR.bat"));
    const std::vector<std::string> log = WorkLogTexts();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "---------- Run c:\\soKXR.bat---------");
    EXPECT_EQ(log.back(), "------------ End -----------------");

    EXPECT_FALSE(BusyFlag);
    EXPECT_EQ(f.TrayIcon1.IconIndex(), 2);
    EXPECT_EQ(f.TrayIcon1.Hint(), c.hint);
    for (ui::Button* b : {&f.Button2, &f.Button4, &f.Button5, &f.Button7}) EXPECT_TRUE(b->Enabled());
    if (c.recovery) {
      EXPECT_FALSE(f.Button1.Enabled());  // untouched
      EXPECT_TRUE(f.Button3.Enabled());
      EXPECT_FALSE(f.Button6.Enabled());
      EXPECT_TRUE(f.RadioButton1.Visible() && f.RadioButton2.Visible() && f.Edit2.Visible() && f.Label3.Visible());
    } else {
      EXPECT_TRUE(f.Button1.Enabled());
      EXPECT_TRUE(f.Button3.Enabled());  // untouched
      EXPECT_TRUE(f.Button6.Enabled());
    }
  }
  RecoveryMode = false;
  EXPECT_TRUE(boxes.calls.empty());
}

}  // namespace
