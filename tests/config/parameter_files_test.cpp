#include <gtest/gtest.h>

#include "app/globals.h"
#include "config/config.h"
#include "support.h"

using namespace kxtest;

TEST(FindParameterFiles, InitFileOfTheOracleHome) {
  TempDir dir;
  ASSERT_TRUE(CreateDirectoryA("DATABASE", nullptr));
  OracleHome = dir.path;
  ServerSid = "ORCL";
  const std::string init = dir.path + "\\DATABASE\\initORCL.ora";
  struct Case { const char* content; std::string initPath, spfilePath; } cases[] = {
      {"db_name = ORCL\n", init, ""},
      {"IFILE='D:\\ORA\\PFILE\\initORCL.ora'\n", "D:\\ORA\\PFILE\\initORCL.ora", ""},
      {"SPFILE='D:\\ORA\\DATABASE\\SPFILEORCL.ORA'\n", "", "D:\\ORA\\DATABASE\\SPFILEORCL.ORA"},
      {"db_name=ORCL\nIFILE='C:\\a.ora'\nSPFILE='D:\\S.ORA'\n", "", "D:\\S.ORA"},
      {"db_name=ORCL\nIFILE='C:\\a.ora'\n", "C:\\a.ora", ""},
      {"DB_NAME = ORCL\nifile='C:\\a.ora'\n", "", ""},          // names are case-sensitive
      {"IFILE=C:\\a.ora\n", ":\\a.or", ""},                     // no quotes: loses its ends anyway
      {"IFILE='C:\\a.ora' # main\n", "C:\\a.ora' # mai", ""},   // only the last character goes
      {"control_files = x\n", "", ""},
  };
  for (auto& c : cases) {
    InitOraPath.clear();
    SpfileOraPath.clear();
    WriteFileBytes(init, c.content);
    FindParameterFiles();
    EXPECT_EQ(InitOraPath, c.initPath) << c.content;
    EXPECT_EQ(SpfileOraPath, c.spfilePath) << c.content;
  }
  InitOraPath.clear();
  ServerSid = "NONE";  // no such init file
  FindParameterFiles();
  EXPECT_EQ(InitOraPath, "");
  EXPECT_EQ(SpfileOraPath, "");
}
