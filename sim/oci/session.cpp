// Attaching to the server and beginning a session: the logon is checked by the simulated
// instance of the library's own Oracle home.
#include "oci/oci.h"

using namespace oci;

OCI_EXPORT sword OCIServerAttach(Server* srvhp, Error* errhp, const text* dblink, sb4 dblink_len,
                                 ub4 mode) {
  if (!As<Server>(srvhp, kHtypeServer) || !As<Error>(errhp, kHtypeError)) return kInvalidHandle;
  const char* link = reinterpret_cast<const char*>(dblink);
  srvhp->link = !link ? "" : dblink_len > 0 ? std::string(link, dblink_len) : std::string(link);
  srvhp->attached = true;
  return kSuccess;
}

OCI_EXPORT sword OCIServerDetach(Server* srvhp, Error* errhp, ub4 mode) {
  if (!As<Server>(srvhp, kHtypeServer) || !As<Error>(errhp, kHtypeError)) return kInvalidHandle;
  if (!srvhp->attached) return Fail(errhp, "ORA-03114: not connected to ORACLE");
  srvhp->attached = false;
  return kSuccess;
}

OCI_EXPORT sword OCISessionBegin(ServiceContext* svchp, Error* errhp, Session* usrhp, ub4 credt,
                                 ub4 mode) {
  if (!As<ServiceContext>(svchp, kHtypeSvcCtx) || !As<Error>(errhp, kHtypeError) ||
      !As<Session>(usrhp, kHtypeSession))
    return kInvalidHandle;
  if (!svchp->server || !svchp->server->attached) return Fail(errhp, "ORA-03114: not connected to ORACLE");
  // Only database credentials exist here: there is no operating-system authentication.
  if (credt != kCredRdbms) return Fail(errhp, "ORA-01017: invalid username/password; logon denied");
  std::string sid;
  std::string refusal = sim::Logon(svchp->env->home, svchp->server->link, usrhp->user,
                                   usrhp->password, (mode & kSysDba) != 0, sid);
  if (!refusal.empty()) return Fail(errhp, refusal);
  svchp->session = usrhp;
  svchp->sid = sid;
  return kSuccess;
}

OCI_EXPORT sword OCISessionEnd(ServiceContext* svchp, Error* errhp, Session* usrhp, ub4 mode) {
  if (!As<ServiceContext>(svchp, kHtypeSvcCtx) || !As<Error>(errhp, kHtypeError)) return kInvalidHandle;
  if (svchp->sid.empty()) return Fail(errhp, "ORA-01012: not logged on");
  svchp->sid.clear();
  return kSuccess;
}
