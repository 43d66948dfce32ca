// Environment, handles, attributes and error records of the simulated client library.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "oci/oci.h"

namespace oci {

sword Fail(Error* err, const std::string& oracleText) {
  if (err) {
    err->code = oracleText.rfind("ORA-", 0) == 0 ? std::atoi(oracleText.c_str() + 4) : 0;
    err->text = oracleText + "\n";  // Oracle's texts end with a line end
  }
  return kError;
}

std::string LibraryHome() {
  HMODULE self = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&LibraryHome), &self);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(self, path, MAX_PATH);
  std::string dir = path;
  dir = dir.substr(0, dir.find_last_of('\\'));   // ...\BIN
  return dir.substr(0, dir.find_last_of('\\'));  // the home
}

}  // namespace oci

using namespace oci;

namespace {

void* NewHandle(Handle* h, size_t extra, void** userMemory) {
  h->userMemory.resize(extra);
  if (userMemory) *userMemory = extra ? h->userMemory.data() : nullptr;
  return h;
}

// Text attributes come with their length; a length of 0 with a pointer means a C string.
std::string AttrText(const void* value, ub4 size) {
  const char* p = static_cast<const char*>(value);
  if (!p) return "";
  return size ? std::string(p, size) : std::string(p);
}

}  // namespace

OCI_EXPORT sword OCIInitialize(ub4 mode, void* ctxp, void* (*malocfp)(void*, size_t),
                               void* (*ralocfp)(void*, void*, size_t),
                               void (*mfreefp)(void*, void*)) {
  return kSuccess;
}

OCI_EXPORT sword OCIEnvInit(void** envp, ub4 mode, size_t xtramem_sz, void** usrmempp) {
  if (!envp) return kInvalidHandle;
  Env* env = new Env;
  env->home = LibraryHome();
  *envp = NewHandle(env, xtramem_sz, usrmempp);
  return kSuccess;
}

OCI_EXPORT sword OCIHandleAlloc(const void* parenth, void** hndlpp, ub4 type, size_t xtramem_sz,
                                void** usrmempp) {
  Env* env = As<Env>(parenth, kHtypeEnv);
  if (!env || !hndlpp) return kInvalidHandle;
  Handle* h = nullptr;
  switch (type) {
    case kHtypeError: h = new Error; break;
    case kHtypeServer: { Server* s = new Server; s->env = env; h = s; break; }
    case kHtypeSession: h = new Session; break;
    case kHtypeSvcCtx: { ServiceContext* c = new ServiceContext; c->env = env; h = c; break; }
    case kHtypeStmt: { Statement* s = new Statement; s->env = env; h = s; break; }
    default: return kInvalidHandle;
  }
  *hndlpp = NewHandle(h, xtramem_sz, usrmempp);
  return kSuccess;
}

OCI_EXPORT sword OCIHandleFree(void* hndlp, ub4 type) {
  Handle* h = static_cast<Handle*>(hndlp);
  if (!h || h->magic != Handle::kMagic || h->type != type || type == kHtypeDefine)
    return kInvalidHandle;
  h->magic = 0;
  delete h;
  return kSuccess;
}

OCI_EXPORT sword OCIDescriptorFree(void* descp, ub4 type) {
  Param* p = As<Param>(descp, type);
  if (!p || type != kDtypeParam) return kInvalidHandle;
  p->magic = 0;
  delete p;
  return kSuccess;
}

OCI_EXPORT sword OCIAttrSet(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size,
                            ub4 attrtype, Error* errhp) {
  if (!As<Handle>(trgthndlp, trghndltyp)) return kInvalidHandle;
  if (trghndltyp == kHtypeSvcCtx && attrtype == kAttrServer) {
    Server* server = As<Server>(attributep, kHtypeServer);
    if (!server) return kInvalidHandle;
    As<ServiceContext>(trgthndlp, trghndltyp)->server = server;
    return kSuccess;
  }
  if (trghndltyp == kHtypeSvcCtx && attrtype == kAttrSession) {
    Session* session = As<Session>(attributep, kHtypeSession);
    if (!session) return kInvalidHandle;
    As<ServiceContext>(trgthndlp, trghndltyp)->session = session;
    return kSuccess;
  }
  if (trghndltyp == kHtypeSession && (attrtype == kAttrUsername || attrtype == kAttrPassword)) {
    Session* ses = As<Session>(trgthndlp, trghndltyp);
    (attrtype == kAttrUsername ? ses->user : ses->password) = AttrText(attributep, size);
    return kSuccess;
  }
  return Fail(errhp, "ORA-24315: illegal attribute type");
}

OCI_EXPORT sword OCIAttrGet(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep,
                            ub4 attrtype, Error* errhp) {
  if (!As<Handle>(trgthndlp, trghndltyp) || !attributep) return kInvalidHandle;
  if (trghndltyp == kHtypeStmt && attrtype == kAttrStmtType) {
    *static_cast<ub2*>(attributep) = kStmtSelect;  // the only statements this library runs
    return kSuccess;
  }
  if (trghndltyp == kHtypeStmt && attrtype == kAttrParamCount) {
    const Statement* st = As<Statement>(trgthndlp, trghndltyp);
    if (!st->executed) return Fail(errhp, "ORA-24338: statement handle not executed");
    *static_cast<ub4*>(attributep) = (ub4)st->result.columns.size();
    return kSuccess;
  }
  const Param* p = As<Param>(trgthndlp, trghndltyp);
  if (trghndltyp == kDtypeParam && attrtype == kAttrName) {
    *static_cast<const text**>(attributep) = reinterpret_cast<const text*>(p->name.c_str());
    if (sizep) *sizep = (ub4)p->name.size();
    return kSuccess;
  }
  if (trghndltyp == kDtypeParam && (attrtype == kAttrDataType || attrtype == kAttrDataSize)) {
    // Every dictionary column is described as text, as wide as its widest value.
    *static_cast<ub2*>(attributep) = attrtype == kAttrDataType ? (ub2)kSqltChr : p->size;
    return kSuccess;
  }
  return Fail(errhp, "ORA-24315: illegal attribute type");
}

OCI_EXPORT sword OCIErrorGet(void* hndlp, ub4 recordno, text* sqlstate, sb4* errcodep, text* bufp,
                             ub4 bufsiz, ub4 type) {
  Error* err = As<Error>(hndlp, type);
  if (!err || type != kHtypeError) return kInvalidHandle;
  if (recordno != 1 || err->text.empty()) return kNoData;
  if (errcodep) *errcodep = err->code;
  if (bufp && bufsiz > 0) {
    size_t n = std::min<size_t>(err->text.size(), bufsiz - 1);
    std::memcpy(bufp, err->text.data(), n);
    bufp[n] = 0;
  }
  return kSuccess;
}
