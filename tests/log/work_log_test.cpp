#include <gtest/gtest.h>

#include "app/globals.h"
#include "log/log.h"
#include "support.h"

using namespace kxtest;

TEST(WorkLogFileName, TakesDayMonthAndTwoDigitYear) {
  struct Case { SYSTEMTIME date; const char* name; } cases[] = {
      {MakeTime(2003, 12, 9, 0, 0, 0), "ou091203.log"},
      {MakeTime(2010, 2, 1, 23, 59, 59), "ou010210.log"},
      {MakeTime(2026, 10, 31, 12, 0, 0), "ou311026.log"},
  };
  for (auto& c : cases) EXPECT_EQ(WorkLogFileName(c.date), c.name);
}

struct WorkLog : testing::Test {
  TempDir dir;
  BoxRecorder boxes;
  void SetUp() override {
    LanguageCode = "E";
    SetMessageFragments(false);
  }
  void TearDown() override { ResetClock(); }
};

TEST_F(WorkLog, StampsEachEntryAndWritesCrLf) {
  struct Case { SYSTEMTIME at; const char* text; const char* line; } cases[] = {
      {MakeTime(2003, 12, 9, 9, 5, 7), "Beginning of the work", "09/12/2003  9:05:07    Beginning of the work\r\n"},
      {MakeTime(2003, 12, 9, 13, 0, 0), "BACKUP mode ", "09/12/2003 13:00:00    BACKUP mode \r\n"},
      {MakeTime(2003, 12, 9, 0, 0, 59), "x", "09/12/2003  0:00:59    x\r\n"},
  };
  std::string expected;
  for (auto& c : cases) {
    SetFixedClock(c.at);
    WriteWorkLog(c.text, 0);
    expected += c.line;
  }
  EXPECT_EQ(ReadFileBytes("ou091203.log"), expected);
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(WorkLog, DayOneOfMonthTwoAndADayChangeMakeTheirOwnFiles) {
  SetFixedClock(MakeTime(2004, 2, 1, 23, 59, 59));
  WriteWorkLog("before", 0);
  SetFixedClock(MakeTime(2004, 2, 2, 0, 0, 0));
  WriteWorkLog("after", 0);
  EXPECT_EQ(ReadFileBytes("ou010204.log"), "01/02/2004 23:59:59    before\r\n");
  EXPECT_EQ(ReadFileBytes("ou020204.log"), "02/02/2004  0:00:00    after\r\n");
}

TEST_F(WorkLog, MultiLineTextKeepsOneStampAndLongTextIsWrittenWhole) {
  SetFixedClock(MakeTime(2003, 12, 9, 9, 5, 7));
  std::string longText(3000, 'a');
  longText += "end";
  WriteWorkLog("first\nsecond", 0);
  WriteWorkLog(longText, 0);
  EXPECT_EQ(ReadFileBytes("ou091203.log"),
            "09/12/2003  9:05:07    first\r\nsecond\r\n09/12/2003  9:05:07    " + longText + "\r\n");
}

TEST_F(WorkLog, KindsRaiseTheirBoxesButAnEmptyTextOnlyAddsALineEnd) {
  SetFixedClock(MakeTime(2003, 12, 9, 9, 5, 7));
  WriteWorkLog("", 1);
  WriteWorkLog("", 2);
  EXPECT_TRUE(boxes.calls.empty());
  WriteWorkLog("bad", 1);
  WriteWorkLog("careful", 2);
  WriteWorkLog("other", 7);
  ASSERT_EQ(boxes.calls.size(), 2u);
  EXPECT_EQ(boxes.calls[0].text, "bad");
  EXPECT_EQ(boxes.calls[0].caption, "ERROR!");
  EXPECT_EQ(boxes.calls[0].flags, UINT(MB_OK | MB_ICONERROR));
  EXPECT_EQ(boxes.calls[0].owner, nullptr);
  EXPECT_EQ(boxes.calls[1].caption, "WARNING!");
  EXPECT_EQ(boxes.calls[1].flags, UINT(MB_OK | MB_ICONWARNING));
  EXPECT_EQ(ReadFileBytes("ou091203.log"),
            "\r\n\r\n09/12/2003  9:05:07    bad\r\n09/12/2003  9:05:07    careful\r\n"
            "09/12/2003  9:05:07    other\r\n");
}

TEST_F(WorkLog, AFileThatCannotBeOpenedIsReportedInAPlainBoxWhateverTheKind) {
  SetFixedClock(MakeTime(2003, 12, 9, 9, 5, 7));
  // The name is taken by a directory.
  ASSERT_TRUE(CreateDirectoryA("ou091203.log", nullptr));
  WriteWorkLog("lost", 1);
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].text,
            "It's impossible to create file 091203.log\nCurrent date is 09.12.03\nName file is ou091203.log");
  EXPECT_EQ(boxes.calls[0].flags, UINT(MB_OK));
  MsgCannotCreateFile.clear();  // before the start-up has chosen the language
  WriteWorkLog("lost", 0);
  ASSERT_EQ(boxes.calls.size(), 2u);
  EXPECT_EQ(boxes.calls[1].text.substr(0, 11), "091203.log\n");
}
