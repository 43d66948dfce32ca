// What the simulated client library asks of the simulated instance: a logon check and the
// rows of the data-dictionary views. Implemented by the engine (sim/engine), used by sim/oci.
#pragma once
#include <string>
#include <vector>

namespace sim {

// One view's rows. Column names in upper case as Oracle reports them; every value as text,
// NULL as an empty text.
struct Table {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

// Checks a logon to the Oracle home `home` (the folder above BIN), as the client library would
// see it. `server` is the connect string ("" = the local instance named by ORACLE_SID, from the
// environment or the home's registry key). On success returns "" and sets `sid`; otherwise the
// Oracle error text, e.g. "ORA-01017: invalid username/password; logon denied".
std::string Logon(const std::string& home, const std::string& server, const std::string& user,
                  const std::string& password, bool sysdba, std::string& sid);

// Fills `out` with the current rows of a dictionary view of instance `sid`. `view` is given in
// lower case with the owner prefix removed and v$ written v_$ (e.g. "v_$logfile",
// "dba_data_files", "all_directories", "v_$parameter", "v_$log"). Returns "" or the Oracle error
// text: ORA-00942 for an unknown view, ORA-01034 when the instance is not started, ORA-01507 for a
// view that needs a mounted database, ORA-01219 for one that needs an open database.
std::string QueryView(const std::string& home, const std::string& sid, const std::string& view,
                      Table& out);

}  // namespace sim
