// The client library stand-in seen as a client sees oci.dll: its exported names, Oracle's
// return codes and handle rules, and error records read with OCIErrorGet.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "oci_client.h"

namespace {

using namespace ocitest;

// The stand-in copied into BIN of a fresh folder in the temporary folder: a home with nothing
// but the library.
struct TempHome {
  std::string home;
  TempHome() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    home = std::string(tmp) + "kxoci" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(home.c_str(), nullptr);
    CreateDirectoryA((home + "\\BIN").c_str(), nullptr);
    EXPECT_TRUE(CopyFileA(FromBuild(KX_OCI_DLL).c_str(), Library().c_str(), FALSE));
  }
  ~TempHome() {
    DeleteFileA(Library().c_str());
    RemoveDirectoryA((home + "\\BIN").c_str());
    RemoveDirectoryA(home.c_str());
  }
  std::string Library() const { return home + "\\BIN\\oci.dll"; }
};

TEST(ClientLibraryExports, OffersTheCallsOfRelease80ByTheirPlainNames) {
  TempHome h;
  Client c(h.Library());
  ASSERT_NE(nullptr, c.dll) << h.Library();
  for (const char* name :
       {"OCIInitialize", "OCIEnvInit", "OCIHandleAlloc", "OCIHandleFree", "OCIAttrSet", "OCIAttrGet",
        "OCIServerAttach", "OCIServerDetach", "OCISessionBegin", "OCISessionEnd", "OCIStmtPrepare",
        "OCIStmtExecute", "OCIParamGet", "OCIDefineByPos", "OCIStmtFetch", "OCIErrorGet",
        "OCIDescriptorFree"})
    EXPECT_NE(nullptr, GetProcAddress(c.dll, name)) << name;
  // 8.0 has no OCIEnvCreate; a client that needed it would fail against an 8.0 home.
  EXPECT_EQ(nullptr, GetProcAddress(c.dll, "OCIEnvCreate"));
}

TEST(ClientLibraryHandles, CheckTheHandleTypeAndRecordErrors) {
  TempHome h;
  Client c(h.Library());
  ASSERT_NE(nullptr, c.dll);
  c.Start();
  void *ses = nullptr, *stray = nullptr;
  ASSERT_EQ(kSuccess, c.Alloc(c.env, &ses, kHtypeSession));
  // Handles are allocated from the environment only, and freed under their own type.
  EXPECT_EQ(kInvalidHandle, c.Alloc(c.err, &stray, kHtypeStmt));
  EXPECT_EQ(kInvalidHandle, c.Free(ses, kHtypeServer));
  EXPECT_EQ("return " + std::to_string(kNoData), c.ErrorText());

  EXPECT_EQ(kError, c.AttrSet(ses, kHtypeSession, "x", 1, kAttrStmtType));
  int code = 0;
  EXPECT_EQ("ORA-24315: illegal attribute type\n", c.ErrorText(&code));
  EXPECT_EQ(24315, code);

  EXPECT_EQ(kSuccess, c.Free(ses, kHtypeSession));
  EXPECT_EQ(kSuccess, c.Free(c.err, kHtypeError));
  EXPECT_EQ(kSuccess, c.Free(c.env, kHtypeEnv));
  c.env = nullptr;
}

TEST(ClientLibraryLogon, RefusalIsAnErrorRecordAndNoSessionFollows) {
  // A library outside any simulated home finds no instance of its own.
  TempHome h;
  Client c(h.Library());
  ASSERT_NE(nullptr, c.dll);
  SetEnvironmentVariableA("ORACLE_SID", "KXNOSUCH");
  c.Start();
  EXPECT_EQ(kError, c.Logon("", "sys", "pw"));
  int code = 0;
  EXPECT_EQ("ORA-12560: TNS:protocol adapter error\n", c.ErrorText(&code));
  EXPECT_EQ(12560, code);

  void* stmt = nullptr;
  EXPECT_EQ(kError, c.Execute(&stmt, "select member from v$logfile"));
  EXPECT_EQ("ORA-01012: not logged on\n", c.ErrorText());
  SetEnvironmentVariableA("ORACLE_SID", nullptr);
}

}  // namespace
