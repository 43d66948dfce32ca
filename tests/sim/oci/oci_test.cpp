// The client library stand-in seen as a client sees oci.dll: its exported names, Oracle's
// return codes and handle rules, and error records read with OCIErrorGet. Values are written
// here as Oracle documents them, independently of the library's own declarations.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

typedef int sword;
typedef unsigned int ub4;

const sword kSuccess = 0, kError = -1, kInvalidHandle = -2, kNoData = 100;
const ub4 kHtypeEnv = 1, kHtypeError = 2, kHtypeSvcCtx = 3, kHtypeStmt = 4, kHtypeServer = 8,
          kHtypeSession = 9;
const ub4 kAttrServer = 6, kAttrSession = 7, kAttrUsername = 22, kAttrPassword = 23,
          kAttrStmtType = 24;
const ub4 kCredRdbms = 1, kSysDba = 2;

std::string FromBuild(std::string unixPath) {
  for (char& c : unixPath)
    if (c == '/') c = '\\';
  return "Z:" + unixPath;
}

// The stand-in copied into BIN of a fresh home in the temporary folder, and loaded from there.
struct Client {
  std::string home;
  HMODULE dll = nullptr;

  Client() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    home = std::string(tmp) + "kxoci" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(home.c_str(), nullptr);
    CreateDirectoryA((home + "\\BIN").c_str(), nullptr);
    CopyFileA(FromBuild(KX_OCI_DLL).c_str(), (home + "\\BIN\\oci.dll").c_str(), FALSE);
    dll = LoadLibraryA((home + "\\BIN\\oci.dll").c_str());
  }
  ~Client() {
    FreeLibrary(dll);
    DeleteFileA((home + "\\BIN\\oci.dll").c_str());
    RemoveDirectoryA((home + "\\BIN").c_str());
    RemoveDirectoryA(home.c_str());
  }
  template <class F>
  F* Call(const char* name) {
    F* f = reinterpret_cast<F*>(GetProcAddress(dll, name));
    EXPECT_NE(nullptr, f) << name;
    return f;
  }

  sword Initialize() {
    return Call<sword(ub4, void*, void*, void*, void*)>("OCIInitialize")(0, nullptr, nullptr, nullptr, nullptr);
  }
  sword EnvInit(void** env) {
    return Call<sword(void**, ub4, size_t, void**)>("OCIEnvInit")(env, 0, 0, nullptr);
  }
  sword Alloc(void* parent, void** h, ub4 type) {
    return Call<sword(void*, void**, ub4, size_t, void**)>("OCIHandleAlloc")(parent, h, type, 0, nullptr);
  }
  sword Free(void* h, ub4 type) { return Call<sword(void*, ub4)>("OCIHandleFree")(h, type); }
  sword AttrSet(void* h, ub4 type, const void* value, ub4 size, ub4 attr, void* err) {
    return Call<sword(void*, ub4, const void*, ub4, ub4, void*)>("OCIAttrSet")(h, type, value, size, attr, err);
  }
  // The first error record: its code and text, or the call's return code when there is none.
  std::string ErrorText(void* err, int* code = nullptr) {
    char buf[512] = {};
    int c = 0;
    sword rc = Call<sword(void*, ub4, char*, int*, char*, ub4, ub4)>("OCIErrorGet")(
        err, 1, nullptr, &c, buf, sizeof buf, kHtypeError);
    if (code) *code = c;
    return rc == kSuccess ? std::string(buf) : "return " + std::to_string(rc);
  }
};

TEST(ClientLibraryExports, OffersTheCallsOfRelease80ByTheirPlainNames) {
  Client c;
  ASSERT_NE(nullptr, c.dll) << c.home;
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
  Client c;
  ASSERT_NE(nullptr, c.dll);
  void *env = nullptr, *err = nullptr, *ses = nullptr, *stray = nullptr;
  ASSERT_EQ(kSuccess, c.Initialize());
  ASSERT_EQ(kSuccess, c.EnvInit(&env));
  ASSERT_EQ(kSuccess, c.Alloc(env, &err, kHtypeError));
  ASSERT_EQ(kSuccess, c.Alloc(env, &ses, kHtypeSession));
  // Handles are allocated from the environment only, and freed under their own type.
  EXPECT_EQ(kInvalidHandle, c.Alloc(err, &stray, kHtypeStmt));
  EXPECT_EQ(kInvalidHandle, c.Free(ses, kHtypeServer));
  EXPECT_EQ("return " + std::to_string(kNoData), c.ErrorText(err));

  EXPECT_EQ(kError, c.AttrSet(ses, kHtypeSession, "x", 1, kAttrStmtType, err));
  int code = 0;
  EXPECT_EQ("ORA-24315: illegal attribute type\n", c.ErrorText(err, &code));
  EXPECT_EQ(24315, code);

  EXPECT_EQ(kSuccess, c.Free(ses, kHtypeSession));
  EXPECT_EQ(kSuccess, c.Free(err, kHtypeError));
  EXPECT_EQ(kSuccess, c.Free(env, kHtypeEnv));
}

TEST(ClientLibraryLogon, RefusalIsAnErrorRecordAndNoSessionFollows) {
  Client c;
  ASSERT_NE(nullptr, c.dll);
  SetEnvironmentVariableA("ORACLE_SID", nullptr);
  void *env = nullptr, *err = nullptr, *srv = nullptr, *svc = nullptr, *ses = nullptr, *stmt = nullptr;
  ASSERT_EQ(kSuccess, c.Initialize());
  ASSERT_EQ(kSuccess, c.EnvInit(&env));
  for (auto [h, type] : {std::pair{&err, kHtypeError}, {&srv, kHtypeServer}, {&svc, kHtypeSvcCtx},
                         {&ses, kHtypeSession}, {&stmt, kHtypeStmt}})
    ASSERT_EQ(kSuccess, c.Alloc(env, h, type));
  ASSERT_EQ(kSuccess, c.Call<sword(void*, void*, const char*, int, ub4)>("OCIServerAttach")(srv, err, "", 0, 0));
  ASSERT_EQ(kSuccess, c.AttrSet(svc, kHtypeSvcCtx, srv, 0, kAttrServer, err));
  ASSERT_EQ(kSuccess, c.AttrSet(ses, kHtypeSession, "sys", 3, kAttrUsername, err));
  ASSERT_EQ(kSuccess, c.AttrSet(ses, kHtypeSession, "pw", 2, kAttrPassword, err));

  EXPECT_EQ(kError, c.Call<sword(void*, void*, void*, ub4, ub4)>("OCISessionBegin")(svc, err, ses, kCredRdbms, kSysDba));
  int code = 0;
  EXPECT_EQ("ORA-12560: TNS:protocol adapter error\n", c.ErrorText(err, &code));
  EXPECT_EQ(12560, code);

  ASSERT_EQ(kSuccess, c.AttrSet(svc, kHtypeSvcCtx, ses, 0, kAttrSession, err));
  const char* sql = "select member from v$logfile";
  ASSERT_EQ(kSuccess, c.Call<sword(void*, void*, const char*, ub4, ub4, ub4)>("OCIStmtPrepare")(
                          stmt, err, sql, (ub4)strlen(sql), 1, 0));
  EXPECT_EQ(kError, c.Call<sword(void*, void*, void*, ub4, ub4, void*, void*, ub4)>("OCIStmtExecute")(
                        svc, stmt, err, 0, 0, nullptr, nullptr, 0));
  EXPECT_EQ("ORA-01012: not logged on\n", c.ErrorText(err));

  for (auto [h, type] : {std::pair{stmt, kHtypeStmt}, {ses, kHtypeSession}, {svc, kHtypeSvcCtx},
                         {srv, kHtypeServer}, {err, kHtypeError}, {env, kHtypeEnv}})
    EXPECT_EQ(kSuccess, c.Free(h, type));
}

}  // namespace
