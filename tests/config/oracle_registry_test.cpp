#include <gtest/gtest.h>

#include "app/globals.h"
#include "config/config.h"
#include "platform/registry.h"
#include "log/log.h"
#include "platform/clock.h"
#include "support.h"

#include <shlwapi.h>

using namespace kxtest;

// The real HKEY_LOCAL_MACHINE of the Wine prefix; each test leaves SOFTWARE\ORACLE as it found it.
struct OracleRegistry : testing::Test {
  TempDir dir;
  BoxRecorder boxes;
  void SetUp() override {
    LanguageCode = "E";
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ORACLE");
  }
  void TearDown() override { SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ORACLE"); }
  static void SetString(const char* key, const char* name, const char* value) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), 0);
    RegSetValueExA(k, name, 0, REG_SZ, (const BYTE*)value, (DWORD)strlen(value) + 1);
    RegCloseKey(k);
  }
  static void SetDword(const char* key, const char* name, DWORD v) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), 0);
    RegSetValueExA(k, name, 0, REG_DWORD, (const BYTE*)&v, sizeof v);
    RegCloseKey(k);
  }
  static std::string GetString(const char* key, const char* name) {
    char buf[256] = {};
    DWORD size = sizeof buf, type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key, name, RRF_RT_ANY, &type, buf, &size) != 0) return "<none>";
    return type == REG_SZ ? std::string(buf) : "<not a string>";
  }
  static bool KeyExists(const char* key) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &k) != 0) return false;
    RegCloseKey(k);
    return true;
  }
};

TEST_F(OracleRegistry, OracleHomeValue) {
  std::string error;
  OracleHome = "stale";
  EXPECT_EQ(ReadOracleHome(error), 0);  // no key: nothing reported, nothing created
  EXPECT_FALSE(KeyExists("SOFTWARE\\ORACLE"));
  SetString("SOFTWARE\\ORACLE", "OTHER", "x");
  EXPECT_EQ(ReadOracleHome(error), -1);  // missing value
  SetString("SOFTWARE\\ORACLE", "ORACLE_HOME", "");
  EXPECT_EQ(ReadOracleHome(error), -1);
  SetString("SOFTWARE\\ORACLE", "ORACLE_HOME", "C:\\ORACLE\\ORA81");
  EXPECT_EQ(ReadOracleHome(error), 1);
  EXPECT_EQ(OracleHome, "C:\\ORACLE\\ORA81");
  SetDword("SOFTWARE\\ORACLE", "ORACLE_HOME", 7);
  EXPECT_EQ(ReadOracleHome(error), -2);
  EXPECT_EQ(error, "Invalid data type for 'ORACLE_HOME'");
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(OracleRegistry, NlsLangIsCheckedAndCorrected) {
  const char* home0 = "SOFTWARE\\ORACLE\\HOME0";
  struct Case { const char* stored; const char* logLine; } cases[] = {
      {"AMERICAN_AMERICA.CL8MSWIN1251", "NLS_LANG in registry is OK!"},
      {"american_america.cl8mswin1251", "NLS_LANG in registry is incorrect! Try to correct..."},
      {nullptr, "NLS_LANG in registry is incorrect! Try to correct..."},  // key without the value
  };
  for (auto& c : cases) {
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ORACLE");
    if (c.stored) SetString(home0, "NLS_LANG", c.stored);
    else SetString(home0, "OTHER", "1");
    DeleteFileA(WorkLogFileName(ui::LocalNow()).c_str());
    EXPECT_EQ(CheckNlsLang(), 0);
    EXPECT_EQ(WorkLogTexts(), std::vector<std::string>{c.logLine});
    EXPECT_EQ(GetString(home0, "NLS_LANG"), "AMERICAN_AMERICA.CL8MSWIN1251");
  }
  LanguageCode = "R";
  DeleteFileA(WorkLogFileName(ui::LocalNow()).c_str());
  EXPECT_EQ(CheckNlsLang(), 0);
  EXPECT_EQ(WorkLogTexts(), std::vector<std::string>{"NLS_LANG - OK!"});
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(OracleRegistry, NoHome0KeyIsLeftAloneAndABadValueIsAnError) {
  EXPECT_EQ(CheckNlsLang(), 0);
  EXPECT_FALSE(KeyExists("SOFTWARE\\ORACLE\\HOME0"));
  EXPECT_TRUE(WorkLogTexts().empty());
  SetDword("SOFTWARE\\ORACLE\\HOME0", "NLS_LANG", 1);
  EXPECT_EQ(CheckNlsLang(), -1);
  ASSERT_EQ(boxes.calls.size(), 1u);
  EXPECT_EQ(boxes.calls[0].text, "Invalid data type for 'NLS_LANG'");
  EXPECT_EQ(boxes.calls[0].flags, UINT(MB_OK));
}
