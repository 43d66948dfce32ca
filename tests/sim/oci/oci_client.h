// A client of the stand-in oci.dll as a program sees it: loaded by path, called by name, with
// Oracle's documented values written here independently of the library's own declarations.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

namespace ocitest {

typedef int sword;
typedef unsigned int ub4;
typedef unsigned short ub2;
typedef signed short sb2;

const sword kSuccess = 0, kSuccessWithInfo = 1, kError = -1, kInvalidHandle = -2, kNoData = 100;
const ub4 kHtypeEnv = 1, kHtypeError = 2, kHtypeSvcCtx = 3, kHtypeStmt = 4, kHtypeServer = 8,
          kHtypeSession = 9, kDtypeParam = 53;
const ub4 kAttrName = 4, kAttrServer = 6, kAttrSession = 7, kAttrParamCount = 18,
          kAttrUsername = 22, kAttrPassword = 23, kAttrStmtType = 24;
const ub4 kCredRdbms = 1, kSysDba = 2, kNtvSyntax = 1;
const ub2 kFetchNext = 2, kSqltStr = 5;

// The build's files, seen from inside the prefix through drive Z:.
inline std::string FromBuild(std::string unixPath) {
  for (char& c : unixPath)
    if (c == '/') c = '\\';
  return "Z:" + unixPath;
}

struct Client {
  HMODULE dll = nullptr;
  void *env = nullptr, *err = nullptr, *srv = nullptr, *svc = nullptr, *ses = nullptr;

  explicit Client(const std::string& path) { dll = LoadLibraryA(path.c_str()); }
  ~Client() {
    if (env) Free(env, kHtypeEnv);
    FreeLibrary(dll);
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
  sword EnvInit() { return Call<sword(void**, ub4, size_t, void**)>("OCIEnvInit")(&env, 0, 0, nullptr); }
  sword Alloc(void* parent, void** h, ub4 type) {
    return Call<sword(void*, void**, ub4, size_t, void**)>("OCIHandleAlloc")(parent, h, type, 0, nullptr);
  }
  sword Free(void* h, ub4 type) { return Call<sword(void*, ub4)>("OCIHandleFree")(h, type); }
  sword AttrSet(void* h, ub4 type, const void* value, ub4 size, ub4 attr) {
    return Call<sword(void*, ub4, const void*, ub4, ub4, void*)>("OCIAttrSet")(h, type, value, size, attr, err);
  }
  sword AttrGet(const void* h, ub4 type, void* value, ub4* size, ub4 attr) {
    return Call<sword(const void*, ub4, void*, ub4*, ub4, void*)>("OCIAttrGet")(h, type, value, size, attr, err);
  }
  // The first error record: its text, or the call's return code when there is none.
  std::string ErrorText(int* code = nullptr) {
    char buf[512] = {};
    int c = 0;
    sword rc = Call<sword(void*, ub4, char*, int*, char*, ub4, ub4)>("OCIErrorGet")(
        err, 1, nullptr, &c, buf, sizeof buf, kHtypeError);
    if (code) *code = c;
    return rc == kSuccess ? std::string(buf) : "return " + std::to_string(rc);
  }

  // The environment and the error handle, as every client starts.
  void Start() {
    ASSERT_EQ(kSuccess, Initialize());
    ASSERT_EQ(kSuccess, EnvInit());
    ASSERT_EQ(kSuccess, Alloc(env, &err, kHtypeError));
  }
  // Attach, name the user, begin a SYSDBA session: the result of OCISessionBegin.
  sword Logon(const std::string& server, const std::string& user, const std::string& password) {
    EXPECT_EQ(kSuccess, Alloc(env, &srv, kHtypeServer));
    EXPECT_EQ(kSuccess, Alloc(env, &svc, kHtypeSvcCtx));
    EXPECT_EQ(kSuccess, Alloc(env, &ses, kHtypeSession));
    EXPECT_EQ(kSuccess, Call<sword(void*, void*, const char*, int, ub4)>("OCIServerAttach")(
                            srv, err, server.c_str(), (int)server.size(), 0));
    EXPECT_EQ(kSuccess, AttrSet(svc, kHtypeSvcCtx, srv, 0, kAttrServer));
    EXPECT_EQ(kSuccess, AttrSet(ses, kHtypeSession, user.data(), (ub4)user.size(), kAttrUsername));
    EXPECT_EQ(kSuccess, AttrSet(ses, kHtypeSession, password.data(), (ub4)password.size(), kAttrPassword));
    sword rc = Call<sword(void*, void*, void*, ub4, ub4)>("OCISessionBegin")(svc, err, ses, kCredRdbms, kSysDba);
    EXPECT_EQ(kSuccess, AttrSet(svc, kHtypeSvcCtx, ses, 0, kAttrSession));
    return rc;
  }
  // A new statement handle, prepared and executed without iterations: the execute's result.
  sword Execute(void** stmt, const std::string& sql) {
    EXPECT_EQ(kSuccess, Alloc(env, stmt, kHtypeStmt));
    EXPECT_EQ(kSuccess, Call<sword(void*, void*, const char*, ub4, ub4, ub4)>("OCIStmtPrepare")(
                            *stmt, err, sql.c_str(), (ub4)sql.size(), kNtvSyntax, 0));
    return Call<sword(void*, void*, void*, ub4, ub4, void*, void*, ub4)>("OCIStmtExecute")(
        svc, *stmt, err, 0, 0, nullptr, nullptr, 0);
  }
  sword Define(void* stmt, ub4 position, char* buf, int size, sb2* indicator, ub2* rcode = nullptr) {
    void* define = nullptr;
    return Call<sword(void*, void**, void*, ub4, void*, int, ub2, void*, ub2*, ub2*, ub4)>("OCIDefineByPos")(
        stmt, &define, err, position, buf, size, kSqltStr, indicator, nullptr, rcode, 0);
  }
  sword Fetch(void* stmt) {
    return Call<sword(void*, void*, ub4, ub2, ub4)>("OCIStmtFetch")(stmt, err, 1, kFetchNext, 0);
  }
};

}  // namespace ocitest
