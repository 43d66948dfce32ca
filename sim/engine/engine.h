// The simulated Oracle instance. Everything it knows lives in files: the host file (what would
// be the instance's memory, plus the injected faults) in the home's DATABASE folder, and the real
// control files, data files, redo log members and archived logs named by the parameter file.
// Every routine that reads or changes them holds the host's named mutex, since the client
// library, the tool, the services and simctl are separate processes.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "dictionary.h"

namespace sim {

enum InstanceState { kDown = 0, kStarted = 1, kMounted = 2, kOpen = 3 };

// The instance's memory and the faults injected into it: HOME\DATABASE\KXSIM<SID>.DAT.
struct HostState {
  std::string release;                        // "8.0", "8.1" or "9i"
  std::string listener;                       // the listener's service name
  int state = kDown;
  std::map<std::string, std::string> faults;  // name -> value, see faults below
};

// Fault names: "shutdown-<mode>" = "fail" | "hang"; "startup" = "fail"; "hold-datafile" = file
// id (the database service holds it open without sharing); "service-stop" = "refuse".

struct RedoMember {
  std::string path;
  std::string status;  // "", INVALID, STALE or DELETED
};

struct RedoGroup {
  int group = 0;
  long long sequence = 0;
  long long firstChange = 0;
  std::string firstTime;
  bool archived = false;
  std::string status;  // CURRENT, ACTIVE, INACTIVE or UNUSED
  long long bytes = 0;
  std::vector<RedoMember> members;
};

struct DataFileEntry {
  int id = 0;
  std::string tablespace;
  std::string path;
  long long bytes = 0;
};

// What every copy of the control file holds.
struct ControlFile {
  std::string dbName;
  long long scn = 1;         // last change number handed out
  long long checkpoint = 1;  // the data files are complete up to here
  bool clean = true;         // false from open until a clean shutdown
  bool resetlogs = false;    // an incomplete recovery was done: open needs RESETLOGS
  int incarnation = 1;
  std::vector<DataFileEntry> files;
  std::vector<RedoGroup> groups;
};

// One committed row of the workload table (kept in the USERS data file and in the redo).
struct Row {
  long long number = 0;
  long long scn = 0;
  std::string time;  // YYYY-MM-DD:HH24:MI:SS, local time
};

// A data file's header and records: "ROW n scn time" rows, "DIR name path" directory objects.
struct DataFile {
  int id = 0;
  long long checkpoint = 0;
  bool fuzzy = false;
  std::vector<std::string> records;
};

// One redo log's content (an online member or an archived copy).
struct RedoLog {
  int group = 0;
  long long sequence = 0;
  long long firstChange = 0;
  std::string firstTime;
  int incarnation = 1;
  std::vector<Row> rows;
};

// --- host files (host_files.cpp) ---
std::string HostStatePath(const std::string& home, const std::string& sid);
bool LoadHostState(const std::string& home, const std::string& sid, HostState& out);
bool SaveHostState(const std::string& home, const std::string& sid, const HostState& st);
std::string PasswordFilePath(const std::string& home, const std::string& sid);
// The SYS password held by the password file ("" when the file is missing).
std::string ReadPasswordFile(const std::string& home, const std::string& sid);
bool WritePasswordFile(const std::string& home, const std::string& sid, const std::string& password);
// Writes text and stretches the file to `size` bytes (0 = no padding) without writing the rest.
bool WritePaddedFile(const std::string& path, const std::string& text, long long size);
// Reads the text lines of a file up to its "END" line or its padding. 0 or the Windows error.
DWORD ReadRecordFile(const std::string& path, std::vector<std::string>& lines);
bool ReadControlFile(const std::string& path, ControlFile& out);
std::string FormatControlFile(const ControlFile& cf);
DWORD ReadDataFile(const std::string& path, DataFile& out);
std::string HeldCopyPath(const std::string& path);
bool WriteDataFile(const std::string& path, const DataFile& df, long long size);
bool ReadRedoLog(const std::string& path, RedoLog& out);
bool WriteRedoLog(const std::string& path, const RedoLog& log, long long size);
// The empty log a group starts a sequence with.
RedoLog EmptyLog(const RedoGroup& g, int incarnation);
Row ParseRow(const std::string& record);
std::string FormatRow(const Row& r);
std::string NowText();  // local time as YYYY-MM-DD:HH24:MI:SS
void CreateFolders(const std::string& path);  // every missing folder of a folder path
void RemoveTree(const std::string& path);     // a folder with everything in it
std::string FolderOf(const std::string& path);
std::string Upper(std::string s);

// --- parameters and names (parameters.cpp) ---
// The instance's parameters from HOME\DATABASE\init<SID>.ora, following SPFILE= and IFILE=;
// names in lower case, values as written (quotes and parentheses kept).
std::map<std::string, std::string> ReadParameters(const std::string& home, const std::string& sid);
// A value without the quotes around it.
std::string Unquote(std::string v);
std::vector<std::string> ControlFilePaths(const std::map<std::string, std::string>& params);
// The archive destination as a folder path (LOCATION= removed), "" when none.
std::string ArchiveFolder(const std::map<std::string, std::string>& params);
// Appends to <SID>ALRT.LOG in background_dump_dest.
void WriteAlertLog(const std::string& home, const std::string& sid, const std::string& text);
// The SID an alias of NETWORK\ADMIN\tnsnames.ora names ("" when the alias is unknown).
std::string ResolveAlias(const std::string& home, const std::string& alias);
// The SID of a local connection: ORACLE_SID from the environment, else from HOME0.
std::string LocalSid();
// The Oracle home of the running program: the folder above its BIN.
std::string ProgramOracleHome();
// The state of a Windows service (SERVICE_RUNNING...), 0 when it does not exist.
DWORD ServiceState(const std::string& name);

// --- the lock (host_files.cpp) ---
struct HostLock {
  HANDLE mutex;
  explicit HostLock(const std::string& sid);
  ~HostLock();
};

// --- instance operations (instance.cpp): each appends the tool's output lines to `out` ---
typedef std::vector<std::string> Lines;
// mode: "nomount", "mount" or "open"; force shuts a running instance down (abort) first.
bool StartupInstance(const std::string& home, const std::string& sid, const std::string& mode,
                     bool force, Lines& out);
// mode: "normal", "immediate", "transactional" or "abort".
bool ShutdownInstance(const std::string& home, const std::string& sid, const std::string& mode,
                      Lines& out);
bool SwitchLogfile(const std::string& home, const std::string& sid, Lines& out);
// untilTime "" = complete recovery; else YYYY-MM-DD:HH24:MI:SS, the last moment kept.
bool RecoverDatabase(const std::string& home, const std::string& sid, const std::string& untilTime,
                     Lines& out);
bool OpenResetlogs(const std::string& home, const std::string& sid, Lines& out);
// Commits `count` rows numbered after the highest one, switching the log after every
// `switchEvery` rows (0 = never). Returns "" or the Oracle error.
std::string CommitRows(const std::string& home, const std::string& sid, int count, int switchEvery,
                       long long& lastNumber);
// The rows as the open database sees them. Returns "" or the Oracle error.
std::string ListRows(const std::string& home, const std::string& sid, std::vector<Row>& rows);

// --- a new database (create_database.cpp) ---
struct DatabaseLayout {
  std::string home, sid, release, listener, password;
  std::vector<std::string> controlFiles;
  std::vector<DataFileEntry> files;                   // SYSTEM holds the directory objects
  std::vector<std::vector<std::string>> redoMembers;  // the members of each group
  long long redoBytes = 512 * 1024;
  std::string archiveParameter;  // log_archive_dest or log_archive_dest_1
  std::string archiveValue;      // as the parameter file writes it
  std::string archivDirectory;   // path of the directory object ARCHIV
  std::string dumpDest;          // background_dump_dest
  std::string spfile;            // 9i: the server parameter file; "" = init.ora holds them
};
// Writes the parameter, password, control, data and redo files and a shut-down instance.
// Returns "" or what could not be written.
std::string CreateDatabase(const DatabaseLayout& layout);

// --- logon (dictionary.cpp) ---
// As Logon, but a SYSDBA logon to an instance that is not started succeeds when idleOk is set,
// as the tool's logon does ("Connected to an idle instance.").
std::string CheckLogon(const std::string& home, const std::string& server, const std::string& user,
                       const std::string& password, bool sysdba, bool idleOk, std::string& sid);

}  // namespace sim
