// The Oracle session over the client library's call interface. Only calls that release 8.0's
// oci.dll has are used (OCIInitialize + OCIEnvInit, not OCIEnvCreate), so one program serves
// 8.0, 8.1 and 9i homes.
#include "platform/odac.h"

#include <windows.h>

#include <cstring>
#include <memory>

#include "platform/text.h"

namespace oda {
namespace {

typedef int sword;
typedef unsigned int ub4;
typedef unsigned short ub2;
typedef signed short sb2;
typedef signed int sb4;
typedef unsigned char text;

// Oracle's values for the calls below.
const sword OCI_SUCCESS = 0, OCI_SUCCESS_WITH_INFO = 1, OCI_NO_DATA = 100;
const ub4 OCI_DEFAULT = 0, OCI_HTYPE_ENV = 1, OCI_HTYPE_ERROR = 2, OCI_HTYPE_SVCCTX = 3,
          OCI_HTYPE_STMT = 4, OCI_HTYPE_SERVER = 8, OCI_HTYPE_SESSION = 9, OCI_DTYPE_PARAM = 53;
const ub4 OCI_ATTR_NAME = 4, OCI_ATTR_SERVER = 6, OCI_ATTR_SESSION = 7, OCI_ATTR_PARAM_COUNT = 18,
          OCI_ATTR_USERNAME = 22, OCI_ATTR_PASSWORD = 23;
const ub4 OCI_CRED_RDBMS = 1, OCI_SYSDBA = 0x0002, OCI_SYSOPER = 0x0004, OCI_NTV_SYNTAX = 1;
const ub2 OCI_FETCH_NEXT = 0x02, SQLT_STR = 5;
// A VARCHAR2 holds at most 4000 bytes; one more for the terminating zero.
const sb4 kValueBuffer = 4001;

// Every call kantrix makes, with its parameters; all use the C calling convention.
#define KX_OCI_CALLS(X)                                                                        \
  X(OCIInitialize, (ub4 mode, void* ctxp, void* malocfp, void* ralocfp, void* mfreefp))        \
  X(OCIEnvInit, (void** envp, ub4 mode, size_t xtramem_sz, void** usrmempp))                   \
  X(OCIHandleAlloc, (const void* parenth, void** hndlpp, ub4 type, size_t xtramem_sz,          \
                     void** usrmempp))                                                         \
  X(OCIHandleFree, (void* hndlp, ub4 type))                                                    \
  X(OCIDescriptorFree, (void* descp, ub4 type))                                                \
  X(OCIAttrSet, (void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size, ub4 attrtype,    \
                 void* errhp))                                                                 \
  X(OCIAttrGet, (const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep,          \
                 ub4 attrtype, void* errhp))                                                   \
  X(OCIServerAttach, (void* srvhp, void* errhp, const text* dblink, sb4 dblink_len, ub4 mode)) \
  X(OCIServerDetach, (void* srvhp, void* errhp, ub4 mode))                                     \
  X(OCISessionBegin, (void* svchp, void* errhp, void* usrhp, ub4 credt, ub4 mode))             \
  X(OCISessionEnd, (void* svchp, void* errhp, void* usrhp, ub4 mode))                          \
  X(OCIStmtPrepare, (void* stmtp, void* errhp, const text* stmt, ub4 stmt_len, ub4 language,   \
                     ub4 mode))                                                                \
  X(OCIStmtExecute, (void* svchp, void* stmtp, void* errhp, ub4 iters, ub4 rowoff,             \
                     const void* snap_in, void* snap_out, ub4 mode))                           \
  X(OCIParamGet, (const void* hndlp, ub4 htype, void* errhp, void** parmdpp, ub4 pos))         \
  X(OCIDefineByPos, (void* stmtp, void** defnpp, void* errhp, ub4 position, void* valuep,      \
                     sb4 value_sz, ub2 dty, void* indp, ub2* rlenp, ub2* rcodep, ub4 mode))    \
  X(OCIStmtFetch, (void* stmtp, void* errhp, ub4 nrows, ub2 orientation, ub4 mode))            \
  X(OCIErrorGet, (void* hndlp, ub4 recordno, text* sqlstate, sb4* errcodep, text* bufp,        \
                  ub4 bufsiz, ub4 type))

struct OciCalls {
#define KX_DECLARE(name, params) sword(__cdecl* name) params = nullptr;
  KX_OCI_CALLS(KX_DECLARE)
#undef KX_DECLARE
};

}  // namespace

struct OciHandles {
  HMODULE library = nullptr;
  OciCalls oci;
  void *env = nullptr, *error = nullptr, *server = nullptr, *service = nullptr,
       *session = nullptr;
  bool attached = false, begun = false;
};

namespace {

// Ends what was begun and frees what was allocated, in reverse order; also after a failed open.
void Release(OciHandles* h) {
  if (!h) return;
  if (h->begun) h->oci.OCISessionEnd(h->service, h->error, h->session, OCI_DEFAULT);
  if (h->attached) h->oci.OCIServerDetach(h->server, h->error, OCI_DEFAULT);
  if (h->session) h->oci.OCIHandleFree(h->session, OCI_HTYPE_SESSION);
  if (h->service) h->oci.OCIHandleFree(h->service, OCI_HTYPE_SVCCTX);
  if (h->server) h->oci.OCIHandleFree(h->server, OCI_HTYPE_SERVER);
  if (h->error) h->oci.OCIHandleFree(h->error, OCI_HTYPE_ERROR);
  if (h->env) h->oci.OCIHandleFree(h->env, OCI_HTYPE_ENV);
  if (h->library) FreeLibrary(h->library);
  delete h;
}

struct ReleaseHandles {
  void operator()(OciHandles* h) const { Release(h); }
};
using HandlesPtr = std::unique_ptr<OciHandles, ReleaseHandles>;

std::string ModulePath(HMODULE m) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(m, path, MAX_PATH);
  return ui::FromWide(path);
}

// Loads home\BIN\oci.dll when it is there, else oci.dll from the DLL search path, and resolves
// every call; throws naming the file or the missing call.
void LoadClientLibrary(const std::string& home, OciHandles& h) {
  const std::string own = home + "\\BIN\\oci.dll";
  bool present = !home.empty() && GetFileAttributesW(ui::ToWide(own).c_str()) != INVALID_FILE_ATTRIBUTES;
  h.library = LoadLibraryW(present ? ui::ToWide(own).c_str() : L"oci.dll");
  if (!h.library) {
    std::string why = ui::SystemErrorText(GetLastError());
    if (present) throw EDatabaseError("Cannot load the Oracle client library " + own + " (" + why + ")");
    throw EDatabaseError("Cannot load the Oracle client library " +
                         (home.empty() ? std::string() : own + " (file not found) nor ") +
                         "oci.dll from the DLL search path (" + why + ")");
  }
#define KX_RESOLVE(name, params)                                                          \
  h.oci.name = reinterpret_cast<decltype(h.oci.name)>(GetProcAddress(h.library, #name)); \
  if (!h.oci.name)                                                                        \
    throw EDatabaseError("The Oracle client library " + ModulePath(h.library) +           \
                         " has no entry point " #name);
  KX_OCI_CALLS(KX_RESOLVE)
#undef KX_RESOLVE
}

// Oracle's own text for the failure of `call`, without its trailing line end.
std::string FailureText(const OciHandles& h, sword rc, const char* call) {
  char buf[2048] = {};
  sb4 code = 0;
  if (h.error && h.oci.OCIErrorGet(h.error, 1, nullptr, &code, reinterpret_cast<text*>(buf),
                                   sizeof buf, OCI_HTYPE_ERROR) == OCI_SUCCESS) {
    std::string t = buf;
    while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
    if (!t.empty()) return t;
  }
  return std::string(call) + " failed with OCI return code " + std::to_string(rc);
}

void Check(const OciHandles& h, sword rc, const char* call) {
  if (rc != OCI_SUCCESS && rc != OCI_SUCCESS_WITH_INFO) throw EDatabaseError(FailureText(h, rc, call));
}

ub4 CredentialMode(ConnectMode m) {
  return m == cmSysDBA ? OCI_SYSDBA : m == cmSysOper ? OCI_SYSOPER : OCI_DEFAULT;
}

}  // namespace

void Session::Open() {
  if (Connected()) return;
  HandlesPtr h(new OciHandles);
  LoadClientLibrary(ClientHome, *h);
  const OciCalls& oci = h->oci;
  Check(*h, oci.OCIInitialize(OCI_DEFAULT, nullptr, nullptr, nullptr, nullptr), "OCIInitialize");
  Check(*h, oci.OCIEnvInit(&h->env, OCI_DEFAULT, 0, nullptr), "OCIEnvInit");
  Check(*h, oci.OCIHandleAlloc(h->env, &h->error, OCI_HTYPE_ERROR, 0, nullptr), "OCIHandleAlloc");
  Check(*h, oci.OCIHandleAlloc(h->env, &h->server, OCI_HTYPE_SERVER, 0, nullptr), "OCIHandleAlloc");
  Check(*h, oci.OCIHandleAlloc(h->env, &h->service, OCI_HTYPE_SVCCTX, 0, nullptr), "OCIHandleAlloc");
  Check(*h, oci.OCIHandleAlloc(h->env, &h->session, OCI_HTYPE_SESSION, 0, nullptr), "OCIHandleAlloc");

  Check(*h, oci.OCIServerAttach(h->server, h->error, reinterpret_cast<const text*>(Server.c_str()),
                                (sb4)Server.size(), OCI_DEFAULT),
        "OCIServerAttach");
  h->attached = true;
  Check(*h, oci.OCIAttrSet(h->service, OCI_HTYPE_SVCCTX, h->server, 0, OCI_ATTR_SERVER, h->error),
        "OCIAttrSet");
  Check(*h, oci.OCIAttrSet(h->session, OCI_HTYPE_SESSION, Username.data(), (ub4)Username.size(),
                           OCI_ATTR_USERNAME, h->error),
        "OCIAttrSet");
  Check(*h, oci.OCIAttrSet(h->session, OCI_HTYPE_SESSION, Password.data(), (ub4)Password.size(),
                           OCI_ATTR_PASSWORD, h->error),
        "OCIAttrSet");
  Check(*h, oci.OCISessionBegin(h->service, h->error, h->session, OCI_CRED_RDBMS, CredentialMode(Mode)),
        "OCISessionBegin");
  h->begun = true;
  Check(*h, oci.OCIAttrSet(h->service, OCI_HTYPE_SVCCTX, h->session, 0, OCI_ATTR_SESSION, h->error),
        "OCIAttrSet");
  handles = h.release();
}

void Session::Close() {
  Release(handles);
  handles = nullptr;
}

Session::~Session() { Close(); }

namespace {

// A statement handle freed at the end of the scope, whatever happens in between.
struct StatementHandle {
  const OciHandles& h;
  void* stmt = nullptr;
  ~StatementHandle() {
    if (stmt) h.oci.OCIHandleFree(stmt, OCI_HTYPE_STMT);
  }
};

}  // namespace

void Query::Open() {
  Close();
  if (!session || !session->Connected()) throw EDatabaseError("The session is not connected");
  const OciHandles& h = *session->handles;
  const OciCalls& oci = h.oci;
  std::string statement;
  for (const std::string& line : SQL) statement += (statement.empty() ? "" : "\r\n") + line;

  StatementHandle st{h};
  Check(h, oci.OCIHandleAlloc(h.env, &st.stmt, OCI_HTYPE_STMT, 0, nullptr), "OCIHandleAlloc");
  Check(h, oci.OCIStmtPrepare(st.stmt, h.error, reinterpret_cast<const text*>(statement.c_str()),
                              (ub4)statement.size(), OCI_NTV_SYNTAX, OCI_DEFAULT),
        "OCIStmtPrepare");
  // No iterations: a select is only executed here; its rows come with the fetches.
  Check(h, oci.OCIStmtExecute(h.service, st.stmt, h.error, 0, 0, nullptr, nullptr, OCI_DEFAULT),
        "OCIStmtExecute");

  ub4 count = 0;
  Check(h, oci.OCIAttrGet(st.stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, h.error),
        "OCIAttrGet");
  std::vector<std::vector<char>> values(count, std::vector<char>(kValueBuffer));
  std::vector<sb2> indicators(count);
  std::vector<std::string> names;
  for (ub4 i = 0; i < count; ++i) {
    void* param = nullptr;
    text* name = nullptr;
    ub4 length = 0;
    Check(h, oci.OCIParamGet(st.stmt, OCI_HTYPE_STMT, h.error, &param, i + 1), "OCIParamGet");
    sword rc = oci.OCIAttrGet(param, OCI_DTYPE_PARAM, &name, &length, OCI_ATTR_NAME, h.error);
    if (rc == OCI_SUCCESS) names.emplace_back(reinterpret_cast<const char*>(name), length);
    oci.OCIDescriptorFree(param, OCI_DTYPE_PARAM);
    Check(h, rc, "OCIAttrGet");
    void* define = nullptr;
    Check(h, oci.OCIDefineByPos(st.stmt, &define, h.error, i + 1, values[i].data(), kValueBuffer,
                                SQLT_STR, &indicators[i], nullptr, nullptr, OCI_DEFAULT),
          "OCIDefineByPos");
  }

  std::vector<std::vector<std::string>> fetched;
  for (;;) {
    sword rc = oci.OCIStmtFetch(st.stmt, h.error, 1, OCI_FETCH_NEXT, OCI_DEFAULT);
    if (rc == OCI_NO_DATA) break;
    Check(h, rc, "OCIStmtFetch");
    std::vector<std::string> row;
    for (ub4 i = 0; i < count; ++i)
      row.push_back(indicators[i] == -1 ? std::string() : std::string(values[i].data()));
    fetched.push_back(std::move(row));
  }
  columns = std::move(names);
  rows = std::move(fetched);
  current = 0;
  Active = true;
}

void Query::Close() {
  Active = false;
  columns.clear();
  rows.clear();
  current = 0;
}

std::string Query::FieldByName(const std::string& name) const {
  for (size_t i = 0; i < columns.size(); ++i)
    if (_stricmp(columns[i].c_str(), name.c_str()) == 0)
      return current < rows.size() ? rows[current][i] : std::string();
  throw EDatabaseError("Field '" + name + "' not found");
}

}  // namespace oda
