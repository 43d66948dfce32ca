// Script runs through the tool of simulated Oracle homes of each release, judged from the
// spool file the tool writes.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/globals.h"
#include "oracle/oracle.h"
#include "oracle_fixture.h"
#include "stand_in_services.h"

using namespace kxtest;

namespace {

struct ToolHostTest : OracleTest {
  void TearDown() override {
    EXPECT_TRUE(Simctl("teardown"));
    DeleteFileA("c:\\svrORCL.bat");
    OracleTest::TearDown();
  }
};

TEST_F(ToolHostTest, ShutdownStartupAndLogSwitchesOnEachRelease) {
  struct Case {
    const char* release;
    const char* home;
    int versionClass;
    const char* user;
  } cases[] = {
      {"8.0", "C:\\ORANT", 1, "internal"},
      {"8.1", "C:\\ORACLE\\ORA81", 0, "system"},
      {"9i", "C:\\ORACLE\\ORA92", 2, "system"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.release);
    ASSERT_TRUE(Simctl(std::string("setup --release ") + c.release + " --copies C:\\KXBACKUP --sid ORCL"));
    OracleHome = c.home;
    VersionClass = c.versionClass;
    UserName = c.user;
    UserPass = "change_on_install";
    ServerName = "ORCL";
    BuildToolCommand();

    ASSERT_EQ(RunSwitchLogfileScript(3), 0);
    EXPECT_EQ(SpoolLogContains("System altered.\n"), 3);
    EXPECT_FALSE(FileExists("c:\\sORCL.sql"));

    ASSERT_EQ(RunShutdownScript("immediate"), 0);
    EXPECT_EQ(SpoolLogContains("ORACLE instance shut down.\n"), 1);
    // The tool's answers stand in the work log between the banners.
    std::vector<std::string> log = WorkLogTexts();
    auto results = std::find(log.rbegin(), log.rend(), "------------- Results ------------");
    ASSERT_NE(results, log.rend());
    std::vector<std::string> answer(results.base(), log.end() - 1);
    EXPECT_NE(std::find(answer.begin(), answer.end(), "ORACLE instance shut down."), answer.end());
    EXPECT_EQ(log.back(), "------------ End -----------------");

    // A second shutdown finds no instance.
    ASSERT_EQ(RunShutdownScript("immediate"), 0);
    EXPECT_EQ(SpoolLogContains("ORACLE instance shut down.\n"), 0);
    EXPECT_EQ(SpoolLogContains("ORA-01034: ORACLE not available\n"), 1);

    ASSERT_EQ(RunStartupScript("open", ""), 0);
    EXPECT_EQ(SpoolLogContains("Database opened.\n"), 1);
    EXPECT_TRUE(boxes.calls.empty());
  }
}

}  // namespace
