// Statements: the text is kept at prepare, evaluated at execute over the views of the
// session's instance, and its rows handed out one per fetch into the defined buffers.
#include <algorithm>
#include <cstring>

#include "oci/oci.h"
#include "sql/sql.h"

using namespace oci;

namespace {

// Copies one value into its define as Oracle does: NULL sets the indicator to -1 (an error
// without one), a value too long is cut and reported with its full length.
sword PutValue(const Define& d, const std::string& value, Error* errhp, bool& truncated) {
  if (value.empty()) {
    if (!d.indicator) return Fail(errhp, "ORA-01405: fetched column value is NULL");
    *d.indicator = -1;
    if (d.length) *d.length = 0;
    if (d.returnCode) *d.returnCode = 1405;
    return kSuccess;
  }
  size_t room = d.dataType == kSqltStr ? (d.size > 0 ? d.size - 1 : 0) : std::max<sb4>(d.size, 0);
  size_t n = std::min(value.size(), room);
  char* out = static_cast<char*>(d.value);
  std::memcpy(out, value.data(), n);
  if (d.dataType == kSqltStr && d.size > 0) out[n] = 0;
  if (d.length) *d.length = (ub2)n;
  if (d.indicator) *d.indicator = n < value.size() ? (sb2)value.size() : 0;
  if (d.returnCode) *d.returnCode = n < value.size() ? 1406 : 0;
  truncated = truncated || n < value.size();
  return kSuccess;
}

sword FetchRow(Statement* st, Error* errhp) {
  if (st->next >= st->result.rows.size()) {
    Fail(errhp, "ORA-01403: no data found");
    return kNoData;
  }
  const std::vector<std::string>& row = st->result.rows[st->next++];
  bool truncated = false;
  for (size_t i = 0; i < st->defines.size(); ++i) {
    if (!st->defines[i]) continue;
    if (i >= row.size()) return Fail(errhp, "ORA-01007: variable not in select list");
    if (PutValue(*st->defines[i], row[i], errhp, truncated) != kSuccess) return kError;
  }
  if (!truncated) return kSuccess;
  Fail(errhp, "ORA-01406: fetched column value was truncated");
  return kSuccessWithInfo;
}

}  // namespace

OCI_EXPORT sword OCIStmtPrepare(Statement* stmtp, Error* errhp, const text* stmt, ub4 stmt_len,
                                ub4 language, ub4 mode) {
  if (!As<Statement>(stmtp, kHtypeStmt) || !As<Error>(errhp, kHtypeError) || !stmt)
    return kInvalidHandle;
  stmtp->sql.assign(reinterpret_cast<const char*>(stmt), stmt_len);
  stmtp->executed = false;
  stmtp->result = sim::Table{};
  stmtp->next = 0;
  return kSuccess;
}

OCI_EXPORT sword OCIStmtExecute(ServiceContext* svchp, Statement* stmtp, Error* errhp, ub4 iters,
                                ub4 rowoff, const void* snap_in, void* snap_out, ub4 mode) {
  if (!As<ServiceContext>(svchp, kHtypeSvcCtx) || !As<Statement>(stmtp, kHtypeStmt) ||
      !As<Error>(errhp, kHtypeError))
    return kInvalidHandle;
  if (svchp->sid.empty()) return Fail(errhp, "ORA-01012: not logged on");
  const std::string home = svchp->env->home, sid = svchp->sid;
  std::string err = sim::EvaluateSelect(
      stmtp->sql,
      [&](const std::string& view, sim::Table& t) { return sim::QueryView(home, sid, view, t); },
      stmtp->result);
  if (!err.empty()) return Fail(errhp, err);
  stmtp->executed = true;
  stmtp->next = 0;
  // A select run with iterations fetches its first row at once.
  return iters > 0 ? FetchRow(stmtp, errhp) : kSuccess;
}

OCI_EXPORT sword OCIParamGet(const void* hndlp, ub4 htype, Error* errhp, void** parmdpp, ub4 pos) {
  const Statement* st = As<Statement>(hndlp, htype);
  if (!st || htype != kHtypeStmt || !As<Error>(errhp, kHtypeError) || !parmdpp) return kInvalidHandle;
  if (!st->executed) return Fail(errhp, "ORA-24338: statement handle not executed");
  if (pos < 1 || pos > st->result.columns.size())
    return Fail(errhp, "ORA-24334: no descriptor for this position");
  Param* p = new Param;
  p->name = st->result.columns[pos - 1];
  size_t widest = 1;
  for (const auto& row : st->result.rows) widest = std::max(widest, row[pos - 1].size());
  p->size = (ub2)std::min<size_t>(widest, 4000);
  *parmdpp = static_cast<Handle*>(p);
  return kSuccess;
}

OCI_EXPORT sword OCIDefineByPos(Statement* stmtp, Define** defnpp, Error* errhp, ub4 position,
                                void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* rlenp,
                                ub2* rcodep, ub4 mode) {
  if (!As<Statement>(stmtp, kHtypeStmt) || !As<Error>(errhp, kHtypeError) || !defnpp)
    return kInvalidHandle;
  if (position < 1) return Fail(errhp, "ORA-01007: variable not in select list");
  if (dty != kSqltStr && dty != kSqltChr) return Fail(errhp, "ORA-00932: inconsistent datatypes");
  if (stmtp->defines.size() < position) stmtp->defines.resize(position);
  auto& d = stmtp->defines[position - 1];
  if (!d) d = std::make_unique<Define>();
  d->value = valuep;
  d->size = value_sz;
  d->dataType = dty;
  d->indicator = static_cast<sb2*>(indp);
  d->length = rlenp;
  d->returnCode = rcodep;
  *defnpp = d.get();
  return kSuccess;
}

OCI_EXPORT sword OCIStmtFetch(Statement* stmtp, Error* errhp, ub4 nrows, ub2 orientation, ub4 mode) {
  if (!As<Statement>(stmtp, kHtypeStmt) || !As<Error>(errhp, kHtypeError)) return kInvalidHandle;
  if (!stmtp->executed) return Fail(errhp, "ORA-01002: fetch out of sequence");
  // Zero rows cancels the cursor; only single-row fetches forward are offered.
  if (nrows == 0) {
    stmtp->next = stmtp->result.rows.size();
    return kSuccess;
  }
  if (nrows != 1 || (orientation != kFetchNext && orientation != 0))
    return Fail(errhp, "ORA-24391: invalid fetch operation");
  return FetchRow(stmtp, errhp);
}
