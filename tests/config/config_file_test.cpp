#include <gtest/gtest.h>

#include "config/config.h"
#include "support.h"

using namespace kxtest;

struct ConfigCase {
  const char* content;
  const char* key;
  const char* value;
};

TEST(ReadConfigValue, LinesOfAFile) {
  TempDir dir;
  const std::string longLine = "COPIES_DIR = " + std::string(236, 'x') + "\n";  // 249 characters
  ConfigCase cases[] = {
      {"USER_NAME=scott\n", "USER_NAME", "scott"},
      {"USER_NAME = scott\n", "USER_NAME", "scott"},
      {"USER_NAME  = scott\n", "USER_NAME", ""},         // two blanks before "="
      {" USER_NAME = scott\n", "USER_NAME", ""},         // blank before the key
      {"USER_NAME\t= scott\n", "USER_NAME", ""},         // tab before "="
      {"user_name = scott\n", "USER_NAME", ""},          // keys are case-sensitive
      {"TIME_PERIOD = 1 \n", "TIME_PERIOD", "1 "},        // trailing blank kept
      {"TIME_PERIOD = 1\t\r\n", "TIME_PERIOD", "1\t"},    // CR dropped on reading, tab kept
      {"COPIES_DIR==D:\\BACKUP\n", "COPIES_DIR", "D:\\BACKUP"},
      {"COPIES_DIR = = =D:\\BACKUP\n", "COPIES_DIR", "D:\\BACKUP"},
      {"LANG = R", "LANG", "R"},                          // last line without a line end
      {"SERVER_SID=\nSERVER_SID = ORCL\n", "SERVER_SID", ""},
      {"SERVER_SID = ORCL\nSERVER_SID=TEST\n", "SERVER_SID", "TEST"},  // KEY= wins over KEY =
      {"SERVER_SID = ORCL\nSERVER_SID = TEST\n", "SERVER_SID", "ORCL"},
      {"TIME_PERIODS = 3\n", "TIME_PERIOD", ""},
      {"A = 1\nTIME_PERIOD=7\r\nB = 2\n", "TIME_PERIOD", "7"},
      {"", "LANG", ""},
  };
  for (auto& c : cases) {
    WriteFileBytes("k.ini", c.content);
    EXPECT_EQ(ReadConfigValue("k.ini", c.key), c.value) << "file: " << c.content;
  }
  // A long line is read in pieces of 199 characters; the value is cut at the piece's end.
  WriteFileBytes("k.ini", longLine);
  EXPECT_EQ(ReadConfigValue("k.ini", "COPIES_DIR"), std::string(186, 'x'));
  // The rest of the long line is a piece of its own, which may even look like a setting.
  WriteFileBytes("k.ini", "X = " + std::string(195, 'y') + "LANG = R\n");
  EXPECT_EQ(ReadConfigValue("k.ini", "LANG"), "R");
}

TEST(ReadConfigValue, MissingFileIsEmptyAndChangesAreSeenAtOnce) {
  TempDir dir;
  EXPECT_EQ(ReadConfigValue("absent.ini", "LANG"), "");
  WriteFileBytes("k.ini", "DEBUG = YES\n");
  EXPECT_EQ(ReadConfigValue("k.ini", "DEBUG"), "YES");
  WriteFileBytes("k.ini", "DEBUG = REQUEST\n");
  EXPECT_EQ(ReadConfigValue("k.ini", "DEBUG"), "REQUEST");
}
