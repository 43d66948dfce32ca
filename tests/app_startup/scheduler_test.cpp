#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/main_form.h"
#include "platform/msgbox.h"
#include "startup_fixture.h"

using namespace kxtest;

namespace {

int32_t Packed(int y, int mo, int d, int h, int mi, int s) { return PackLocalTime(MakeTime(y, mo, d, h, mi, s)); }

// The scheduler after a complete start-up in backup mode, with the 24-hour time format of an
// unpadded hour that the time-of-day test is written for.
struct SchedulerTest : StartupTest {
  char savedFormat[80] = {};
  void SetUp() override {
    StartupTest::SetUp();
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, savedFormat, sizeof savedFormat);
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, "H:mm:ss");
    WriteSettings("kantrix.ini", kantrix);
    ASSERT_EQ(Activate(), Outcome::Complete);
  }
  void TearDown() override {
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, savedFormat);
    StartupTest::TearDown();
  }
  // One tick at the given time; true when it started a backup run. A run leaves its redo
  // status list behind (the idle state releases every other list), so that tells.
  bool TickStartsBackup(const SYSTEMTIME& at) {
    SetFixedClock(at);
    RedoStatusList.reset();
    MF->Timer1Timer();
    return RedoStatusList != nullptr;
  }
  void Configure(const Settings& changes) {
    for (const auto& [k, v] : changes) {
      if (v == "<none>")
        kantrix.erase(k);
      else
        kantrix[k] = v;
    }
    WriteSettings("kantrix.ini", kantrix);
  }
};

TEST_F(SchedulerTest, TimeOfDayComparesFourCharacters) {
  struct Case {
    const char* timeBackup;
    int hour, minute, second;
    bool starts;
  } cases[] = {
      {"9:05", 9, 5, 0, true},    {"9:05", 9, 5, 59, true},   {"9:05", 9, 6, 0, false},
      {"9:05", 9, 4, 59, false},  {"09:05", 9, 5, 30, true},  {"23:35", 23, 30, 0, true},
      {"23:35", 23, 39, 59, true}, {"23:35", 23, 40, 0, false}, {"23:35", 23, 29, 59, false},
      {"00:30", 0, 30, 0, true},  {"00:30", 0, 30, 59, true}, {"00:30", 0, 31, 0, false},
      {"<none>", 9, 5, 0, false},
  };
  LastBackupStamp = 0;  // no backup set: the first matching tick starts one
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.timeBackup) + " at " + std::to_string(c.hour) + ":" + std::to_string(c.minute) +
                 ":" + std::to_string(c.second));
    Configure({{"TIME_BACKUP", c.timeBackup}, {"TIME_PERIOD", "1"}});
    EXPECT_EQ(TickStartsBackup(MakeTime(2003, 12, 9, c.hour, c.minute, c.second)), c.starts);
  }
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(SchedulerTest, PeriodIsAddedToThePackedStamp) {
  struct Case {
    const char* name;
    int32_t last;
    const char* period;
    const char* debug;
    SYSTEMTIME at;
    bool starts;
  } cases[] = {
      {"one day, not yet", Packed(2003, 12, 9, 23, 50, 0), "1", "NO", MakeTime(2003, 12, 10, 12, 56, 0), false},
      {"one day, passed", Packed(2003, 12, 9, 23, 50, 0), "1", "NO", MakeTime(2003, 12, 10, 12, 56, 2), true},
      {"seven days, not yet", Packed(2003, 12, 9, 23, 50, 0), "7", "NO", MakeTime(2003, 12, 14, 11, 28, 1), false},
      {"seven days, passed", Packed(2003, 12, 9, 23, 50, 0), "7", "NO", MakeTime(2003, 12, 14, 11, 28, 2), true},
      {"new year, 30 days", Packed(2003, 12, 31, 23, 50, 0), "30", "NO", MakeTime(2004, 1, 1, 0, 0, 0), true},
      {"minutes, not yet", Packed(2003, 12, 9, 9, 10, 0), "5", "YES", MakeTime(2003, 12, 9, 9, 14, 45), false},
      {"minutes, passed", Packed(2003, 12, 9, 9, 10, 0), "5", "YES", MakeTime(2003, 12, 9, 9, 14, 46), true},
      {"zero minutes", Packed(2003, 12, 9, 9, 10, 0), "0", "YES", MakeTime(2003, 12, 9, 9, 10, 2), true},
      {"leading blanks", Packed(2003, 12, 9, 9, 10, 0), "  5", "YES", MakeTime(2003, 12, 9, 9, 14, 46), true},
      {"request", 0, "0", "REQUEST", MakeTime(2003, 12, 9, 9, 10, 2), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LastBackupStamp = c.last;
    // The time of day always matches, so only the period decides.
    char hm[8];
    std::snprintf(hm, sizeof hm, "%02d:%02d", c.at.wHour, c.at.wMinute);
    Configure({{"TIME_PERIOD", c.period}, {"DEBUG", c.debug}, {"TIME_BACKUP", hm}});
    EXPECT_EQ(TickStartsBackup(c.at), c.starts);
  }
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(SchedulerTest, NothingStartsWhileOffOrBusy) {
  Configure({{"DEBUG", "YES"}, {"TIME_PERIOD", "0"}});
  const SYSTEMTIME at = MakeTime(2003, 12, 9, 9, 10, 2);
  EXPECT_TRUE(TickStartsBackup(at));
  BusyFlag = true;
  EXPECT_FALSE(TickStartsBackup(at));
  BusyFlag = false;
  RecoveryMode = true;
  EXPECT_FALSE(TickStartsBackup(at));
  RecoveryMode = false;
  StartupComplete = false;
  EXPECT_FALSE(TickStartsBackup(at));
  StartupComplete = true;
  // Read at every tick: a change of the file counts from the next tick on.
  Configure({{"DEBUG", "REQUEST"}});
  EXPECT_FALSE(TickStartsBackup(at));
  Configure({{"DEBUG", "YES"}});
  EXPECT_TRUE(TickStartsBackup(at));
}

TEST_F(SchedulerTest, BackupRunReturnsTheWindowToIdle) {
  Configure({{"DEBUG", "YES"}, {"TIME_PERIOD", "0"}});
  MF->Button3.SetEnabled(true);
  ASSERT_TRUE(TickStartsBackup(MakeTime(2003, 12, 9, 9, 10, 2)));
  TMF& f = *MF;
  EXPECT_FALSE(BusyFlag);
  // The run's busy state disabled Button3; idle in backup mode leaves it so.
  EXPECT_FALSE(f.Button3.Enabled());
  for (ui::Button* b : {&f.Button1, &f.Button2, &f.Button4, &f.Button5, &f.Button6, &f.Button7})
    EXPECT_TRUE(b->Enabled());
  EXPECT_EQ(f.TrayIcon1.IconIndex(), 0);
  EXPECT_EQ(f.TrayIcon1.Hint(), "ORCL - BackUp mode, waiting for BackUp time");
  EXPECT_EQ(ControlFileList, nullptr);
  // The run touched no instance, so no backup is known yet.
  EXPECT_EQ(LastBackupStamp, 0);
}

TEST_F(SchedulerTest, PeriodThatIsNoWholeNumberIsReportedOncePerValue) {
  const SYSTEMTIME at = MakeTime(2003, 12, 9, 9, 10, 2);
  Configure({{"DEBUG", "YES"}, {"TIME_PERIOD", "1 "}});
  EXPECT_FALSE(TickStartsBackup(at));
  EXPECT_FALSE(TickStartsBackup(at));
  Configure({{"TIME_PERIOD", "x"}});
  EXPECT_FALSE(TickStartsBackup(at));
  EXPECT_FALSE(TickStartsBackup(at));
  Configure({{"TIME_PERIOD", "0"}});
  EXPECT_TRUE(TickStartsBackup(at));
  Configure({{"TIME_PERIOD", "1 "}});
  EXPECT_FALSE(TickStartsBackup(at));
  ASSERT_EQ(boxes.calls.size(), 3u);
  EXPECT_EQ(boxes.calls[0].text, "'1 ' is not a valid integer value");
  EXPECT_EQ(boxes.calls[1].text, "'x' is not a valid integer value");
  EXPECT_EQ(boxes.calls[2].text, "'1 ' is not a valid integer value");
  EXPECT_EQ(boxes.calls[0].caption, ui::ApplicationTitle);
}

TEST_F(SchedulerTest, TickDuringTheReportOpensNoSecondBox) {
  Configure({{"DEBUG", "YES"}, {"TIME_PERIOD", "five"}});
  SetFixedClock(MakeTime(2003, 12, 9, 9, 10, 2));
  int nested = 0;
  // The box's own message loop delivers the next tick while it is open.
  ui::SetMessageBoxResponder([&](const ui::MessageBoxCall&) {
    ++nested;
    if (nested == 1) MF->Timer1Timer();
    return IDOK;
  });
  MF->Timer1Timer();
  EXPECT_EQ(nested, 1);
}

TEST_F(SchedulerTest, TimeTextFollowsTheSystemFormat) {
  // With a 12-hour clock the time of day is compared in that form.
  SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, "h:mm:ss tt");
  Configure({{"TIME_BACKUP", "23:35"}});
  EXPECT_FALSE(TickStartsBackup(MakeTime(2003, 12, 9, 23, 35, 0)));
  Configure({{"TIME_BACKUP", "11:35"}});
  EXPECT_TRUE(TickStartsBackup(MakeTime(2003, 12, 9, 23, 35, 0)));
}

}  // namespace
