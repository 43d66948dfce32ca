// The Oracle session and query of the data module, over the Oracle Call Interface of the
// client library (oci.dll), loaded at run time. Every Oracle failure is an EDatabaseError
// whose message is Oracle's own text.
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

namespace oda {

struct EDatabaseError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

enum ConnectMode { cmNormal = 0, cmSysDBA = 2, cmSysOper = 4 };

struct OciHandles;  // the environment, error, server, session and service handles

struct Session {
  std::string Server, Username, Password;
  ConnectMode Mode = cmSysDBA;
  // Folder whose BIN\oci.dll is loaded; when empty, or when the file is missing there, oci.dll
  // is taken from the DLL search path.
  std::string ClientHome;
  OciHandles* handles = nullptr;
  void Open();   // throws EDatabaseError
  void Close();  // never throws
  bool Connected() const { return handles != nullptr; }
  ~Session();
};

struct Query {
  Session* session = nullptr;
  std::vector<std::string> SQL;  // lines of the statement, joined by line ends
  bool Active = false;
  void Open();   // runs the statement and fetches its rows; throws EDatabaseError
  void Close();
  bool IsEmpty() const { return rows.empty(); }
  bool Eof() const { return !Active || current >= rows.size(); }
  void Next() { if (current < rows.size()) ++current; }
  // The current row's value of a column, matched without regard to case; throws
  // EDatabaseError for an unknown column.
  std::string FieldByName(const std::string& name) const;

  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
  size_t current = 0;
};

}  // namespace oda
