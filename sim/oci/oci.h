// The simulated client library (oci.dll): the part of the Oracle Call Interface that a
// logon-and-query client uses, with Oracle's own type sizes, handle types, attribute numbers and
// return codes, answered by the simulated instance of the home the library is installed in.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/dictionary.h"

typedef unsigned char ub1;
typedef unsigned short ub2;
typedef unsigned int ub4;
typedef signed short sb2;
typedef signed int sb4;
typedef int sword;
typedef unsigned char text;

// The exported calls: C names without decoration, the C calling convention.
#define OCI_EXPORT extern "C" __declspec(dllexport)

namespace oci {

enum : sword {
  kSuccess = 0, kSuccessWithInfo = 1, kNoData = 100, kError = -1, kInvalidHandle = -2
};
enum : ub4 {
  kHtypeEnv = 1, kHtypeError = 2, kHtypeSvcCtx = 3, kHtypeStmt = 4, kHtypeDefine = 6,
  kHtypeServer = 8, kHtypeSession = 9, kDtypeParam = 53
};
enum : ub4 {
  kAttrDataSize = 1, kAttrDataType = 2, kAttrName = 4, kAttrServer = 6, kAttrSession = 7,
  kAttrParamCount = 18, kAttrUsername = 22, kAttrPassword = 23, kAttrStmtType = 24
};
enum : ub4 { kCredRdbms = 1, kSysDba = 0x0002, kFetchNext = 0x02, kStmtSelect = 1 };
enum : ub2 { kSqltChr = 1, kSqltStr = 5 };

// Every handle and descriptor starts with this, so a call can check what it was given.
struct Handle {
  static const ub4 kMagic = 0x4B58F00D;
  ub4 magic = kMagic;
  ub4 type;
  std::vector<char> userMemory;  // the extra memory a caller may ask for with the handle
  explicit Handle(ub4 t) : type(t) {}
  virtual ~Handle() = default;
};

struct Env : Handle {
  std::string home;  // the Oracle home this library belongs to
  Env() : Handle(kHtypeEnv) {}
};

// The error record of the last failed call: Oracle's number and its full text.
struct Error : Handle {
  sb4 code = 0;
  std::string text;
  Error() : Handle(kHtypeError) {}
};

struct Server : Handle {
  Env* env = nullptr;
  std::string link;  // the connect string given to OCIServerAttach
  bool attached = false;
  Server() : Handle(kHtypeServer) {}
};

struct Session : Handle {
  std::string user, password;
  Session() : Handle(kHtypeSession) {}
};

struct ServiceContext : Handle {
  Env* env = nullptr;
  Server* server = nullptr;
  Session* session = nullptr;
  std::string sid;  // set when the session has begun
  ServiceContext() : Handle(kHtypeSvcCtx) {}
};

struct Define : Handle {
  void* value = nullptr;
  sb4 size = 0;
  ub2 dataType = 0;
  sb2* indicator = nullptr;
  ub2* length = nullptr;
  ub2* returnCode = nullptr;
  Define() : Handle(kHtypeDefine) {}
};

// A select-list item as described after execution.
struct Param : Handle {
  std::string name;
  ub2 size = 0;  // the widest value of the column
  Param() : Handle(kDtypeParam) {}
};

struct Statement : Handle {
  Env* env = nullptr;
  std::string sql;
  bool executed = false;
  sim::Table result;
  size_t next = 0;  // the row the next fetch returns
  std::vector<std::unique_ptr<Define>> defines;  // by position - 1; freed with the statement
  Statement() : Handle(kHtypeStmt) {}
};

// Returns `h` as the handle type T when it is a live handle of type `type`, else nullptr.
template <class T>
T* As(const void* h, ub4 type) {
  const Handle* p = static_cast<const Handle*>(h);
  if (!p || p->magic != Handle::kMagic || p->type != type) return nullptr;
  return const_cast<T*>(static_cast<const T*>(p));
}

// Records an Oracle error text ("ORA-nnnnn: message") on the error handle; returns kError.
sword Fail(Error* err, const std::string& oracleText);

// The Oracle home of the loaded library: the folder above the BIN folder holding it.
std::string LibraryHome();

}  // namespace oci
