// The instance's life: startup, shutdown, log switches, commits, media recovery, resetlogs.
// Committed rows go to the current redo log at once and reach the USERS data file only at
// checkpoints (log switches, opens and clean shutdowns), so a file copied at the wrong moment
// misses them exactly as it would on Oracle.
#include <algorithm>
#include <cstdio>

#include "engine.h"

namespace sim {

namespace {

const long long kControlFileBytes = 256 * 1024;

struct Instance {
  std::string home, sid;
  HostState st;
  std::map<std::string, std::string> params;
  ControlFile cf;
};

std::string DataFileName(const DataFileEntry& f) {
  return "ORA-01110: data file " + std::to_string(f.id) + ": '" + f.path + "'";
}

bool LoadInstance(Instance& in, const std::string& home, const std::string& sid) {
  in.home = home;
  in.sid = sid;
  in.params = ReadParameters(home, sid);
  return LoadHostState(home, sid, in.st);
}

// Every copy of the control file must be there and whole. At mount they must also agree: a copy
// put back from an older backup makes Oracle refuse the mount (ORA-00214).
bool ReadControlFiles(Instance& in, Lines* mountErrors = nullptr) {
  auto paths = ControlFilePaths(in.params);
  if (paths.empty()) return false;
  for (size_t i = 0; i < paths.size(); ++i) {
    ControlFile cf;
    if (!ReadControlFile(paths[i], cf)) return false;
    if (i == 0) in.cf = cf;
    if (mountErrors && FormatControlFile(cf) != FormatControlFile(in.cf)) {
      mountErrors->push_back("ORA-00214: controlfile '" + paths[0] + "' version " + std::to_string(in.cf.scn) +
                             " inconsistent with file '" + paths[i] + "' version " + std::to_string(cf.scn));
      return false;
    }
  }
  return true;
}

void SaveControlFiles(const Instance& in) {
  std::string text = FormatControlFile(in.cf);
  for (const auto& p : ControlFilePaths(in.params)) WritePaddedFile(p, text, kControlFileBytes);
}

bool IsUsers(const DataFileEntry& f) { return f.tablespace == "USERS"; }

// The content of an online group, from its first member that is usable.
bool ReadGroup(const Instance& in, const RedoGroup& g, RedoLog& log) {
  for (const auto& m : g.members)
    if (m.status != "INVALID" && ReadRedoLog(m.path, log) && log.sequence == g.sequence &&
        log.incarnation == in.cf.incarnation)
      return true;
  return false;
}

void WriteGroup(Instance& in, RedoGroup& g, const RedoLog& log) {
  for (auto& m : g.members) {
    if (m.status == "INVALID") continue;
    if (!WriteRedoLog(m.path, log, g.bytes)) m.status = "INVALID";
  }
}

RedoGroup* CurrentGroup(Instance& in) {
  for (auto& g : in.cf.groups)
    if (g.status == "CURRENT") return &g;
  return nullptr;
}

// Every row of the online logs, in change order.
std::vector<Row> OnlineRows(const Instance& in) {
  std::vector<Row> rows;
  for (const auto& g : in.cf.groups) {
    RedoLog log;
    if (g.sequence > 0 && ReadGroup(in, g, log)) rows.insert(rows.end(), log.rows.begin(), log.rows.end());
  }
  std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.scn < b.scn; });
  return rows;
}

// Brings every data file up to the redo and stamps it with a new checkpoint.
void Checkpoint(Instance& in, bool fuzzy) {
  long long ck = ++in.cf.scn;
  std::vector<Row> rows = OnlineRows(in);
  for (const auto& f : in.cf.files) {
    DataFile df;
    if (ReadDataFile(f.path, df) != 0) continue;
    if (IsUsers(f))
      for (const auto& r : rows)
        if (r.scn > df.checkpoint) df.records.push_back(FormatRow(r));
    df.checkpoint = ck;
    df.fuzzy = fuzzy;
    WriteDataFile(f.path, df, f.bytes);
  }
  in.cf.checkpoint = ck;
}

// The checks of an open: every data file there and as recent as the control file, a usable
// member in every group. Members that cannot be read are marked INVALID, as Oracle does.
bool CheckForOpen(Instance& in, Lines& out) {
  for (const auto& f : in.cf.files) {
    DataFile df;
    if (ReadDataFile(f.path, df) != 0) {
      out.push_back("ORA-01157: cannot identify/lock data file " + std::to_string(f.id) +
                    " - see DBWR trace file");
      out.push_back(DataFileName(f));
      return false;
    }
    if (df.checkpoint > in.cf.checkpoint) {
      out.push_back("ORA-01122: database file " + std::to_string(f.id) + " failed verification check");
      out.push_back(DataFileName(f));
      out.push_back("ORA-01207: file is more recent than control file - old control file");
      return false;
    }
    if (df.checkpoint < in.cf.checkpoint || (df.fuzzy && in.cf.clean)) {
      out.push_back("ORA-01113: file " + std::to_string(f.id) + " needs media recovery");
      out.push_back(DataFileName(f));
      return false;
    }
  }
  for (auto& g : in.cf.groups) {
    if (g.sequence == 0) continue;
    bool usable = false;
    for (auto& m : g.members) {
      RedoLog log;
      if (!ReadRedoLog(m.path, log) || log.sequence != g.sequence) {
        if (m.status != "INVALID") WriteAlertLog(in.home, in.sid, "Errors in file: member " + m.path + " INVALID");
        m.status = "INVALID";
      } else if (m.status != "INVALID") {
        usable = true;
      }
    }
    if (!usable && g.status == "CURRENT") {
      out.push_back("ORA-00313: open failed for members of log group " + std::to_string(g.group) +
                    " of thread 1");
      out.push_back("ORA-00312: online log " + std::to_string(g.group) + " thread 1: '" +
                    (g.members.empty() ? "" : g.members[0].path) + "'");
      SaveControlFiles(in);
      return false;
    }
  }
  return true;
}

// Opening: after an abort the checkpoint rolls the online redo into the files (crash recovery).
bool OpenDatabase(Instance& in, bool resetlogs, Lines& out) {
  if (in.cf.resetlogs && !resetlogs) {
    out.push_back("ORA-01589: must use RESETLOGS or NORESETLOGS option for database open");
    return false;
  }
  if (!in.cf.resetlogs && resetlogs) {
    out.push_back("ORA-01139: RESETLOGS option only valid after an incomplete database recovery");
    return false;
  }
  if (resetlogs) {
    // The redo after the recovery's end is discarded: every group starts empty.
    in.cf.incarnation++;
    in.cf.resetlogs = false;
    for (size_t i = 0; i < in.cf.groups.size(); ++i) {
      RedoGroup& g = in.cf.groups[i];
      g.sequence = i == 0 ? 1 : 0;
      g.firstChange = i == 0 ? ++in.cf.scn : 0;
      g.firstTime = i == 0 ? NowText() : "";
      g.status = i == 0 ? "CURRENT" : "UNUSED";
      g.archived = false;
      for (auto& m : g.members) m.status.clear();
      RedoLog log = EmptyLog(g, in.cf.incarnation);
      WriteGroup(in, g, log);
    }
  }
  if (!CheckForOpen(in, out)) return false;
  if (!in.cf.clean) WriteAlertLog(in.home, in.sid, "Beginning crash recovery of 1 threads");
  Checkpoint(in, true);
  in.cf.clean = false;
  SaveControlFiles(in);
  WriteAlertLog(in.home, in.sid, "Completed: alter database open");
  return true;
}

void SwitchInternal(Instance& in) {
  RedoGroup* cur = CurrentGroup(in);
  if (!cur) return;
  RedoLog log;
  std::string dest = ArchiveFolder(in.params);
  if (ReadGroup(in, *cur, log) && !dest.empty()) {
    CreateFolders(dest);
    char name[32];
    snprintf(name, sizeof name, "\\ARC%05lld.001", cur->sequence);
    cur->archived = WriteRedoLog(dest + name, log, 0);
  }
  cur->status = "INACTIVE";
  long long seq = 0;
  for (const auto& g : in.cf.groups) seq = std::max(seq, g.sequence);
  size_t next = (size_t)(cur - &in.cf.groups[0] + 1) % in.cf.groups.size();
  RedoGroup& g = in.cf.groups[next];
  g.sequence = seq + 1;
  g.firstChange = ++in.cf.scn;
  g.firstTime = NowText();
  g.status = "CURRENT";
  g.archived = false;
  // A reused group is formatted anew, which also clears the marks of its members.
  for (auto& m : g.members) m.status.clear();
  WriteGroup(in, g, EmptyLog(g, in.cf.incarnation));
  Checkpoint(in, true);
  WriteAlertLog(in.home, in.sid, "Thread 1 advanced to log sequence " + std::to_string(g.sequence) +
                                     "\n  Current log# " + std::to_string(g.group) + " seq# " +
                                     std::to_string(g.sequence) + " mem# 0: " +
                                     (g.members.empty() ? "" : g.members[0].path));
}

// What the tool prints for each log that recovery asks for.
void AddLogRequest(Lines& out, long long change, const std::string& time, const std::string& path, long long seq) {
  out.push_back("ORA-00279: change " + std::to_string(change) + " generated at " + time + " needed for thread 1");
  out.push_back("ORA-00289: suggestion : " + path);
  out.push_back("ORA-00280: change " + std::to_string(change) + " for thread 1 is in sequence #" + std::to_string(seq));
}

void AddSgaLines(Lines& out) {
  const struct { const char* name; long long bytes; } sga[] = {
      {"Total System Global Area", 38322124}, {"Fixed Size", 65484}, {"Variable Size", 21405696},
      {"Database Buffers", 16777216}, {"Redo Buffers", 73728}};
  for (const auto& s : sga) {
    char buf[80];
    snprintf(buf, sizeof buf, "%-25s%10lld bytes", s.name, s.bytes);
    out.push_back(buf);
  }
}

// The answer of a statement that needs at least `need` to an instance that is in `state`.
bool StateAllows(int state, int need, Lines& out) {
  if (state >= need) return true;
  if (state == kDown) out.push_back("ORA-01034: ORACLE not available");
  else if (need == kMounted || state == kStarted) out.push_back("ORA-01507: database not mounted");
  else out.push_back("ORA-01109: database not open");
  return false;
}

// Injected faults of a statement, looked at before the lock is taken so that a hang leaves
// the instance usable by the others.
std::string FaultOf(const std::string& home, const std::string& sid, const std::string& name) {
  HostState st;
  LoadHostState(home, sid, st);
  auto it = st.faults.find(name);
  return it == st.faults.end() ? "" : it->second;
}

}  // namespace

bool StartupInstance(const std::string& home, const std::string& sid, const std::string& mode,
                     bool force, Lines& out) {
  HostLock lock(sid);
  Instance in;
  if (!LoadInstance(in, home, sid)) {
    out.push_back("ORA-01034: ORACLE not available");
    return false;
  }
  if (in.st.state != kDown) {
    if (!force) {
      out.push_back("ORA-01081: cannot start already-running ORACLE - shut it down first");
      return false;
    }
    WriteAlertLog(home, sid, "Shutting down instance (abort)");
    in.st.state = kDown;
    SaveHostState(home, sid, in.st);
  }
  if (in.params.empty()) {
    out.push_back("ORA-01078: failure in processing system parameters");
    out.push_back("LRM-00109: could not open parameter file '" + home + "\\DATABASE\\INIT" + Upper(sid) + ".ORA'");
    return false;
  }
  if (in.st.faults.count("startup")) {
    out.push_back("ORA-27101: shared memory realm does not exist");
    return false;
  }
  out.push_back("ORACLE instance started.");
  out.push_back("");
  AddSgaLines(out);
  in.st.state = kStarted;
  SaveHostState(home, sid, in.st);
  WriteAlertLog(home, sid, "Starting ORACLE instance (normal)");
  if (mode == "nomount") return true;
  Lines mountErrors;
  if (!ReadControlFiles(in, &mountErrors)) {
    out.push_back(mountErrors.empty() ? "ORA-00205: error in identifying control file, check alert log for more info"
                                      : mountErrors[0]);
    WriteAlertLog(home, sid, "ORA-00202: controlfile: one of the control files cannot be opened");
    return false;
  }
  out.push_back("Database mounted.");
  in.st.state = kMounted;
  SaveHostState(home, sid, in.st);
  if (mode == "mount") return true;
  if (!OpenDatabase(in, false, out)) return false;
  out.push_back("Database opened.");
  in.st.state = kOpen;
  SaveHostState(home, sid, in.st);
  return true;
}

bool ShutdownInstance(const std::string& home, const std::string& sid, const std::string& mode,
                      Lines& out) {
  std::string fault = FaultOf(home, sid, "shutdown-" + mode);
  if (fault == "hang") Sleep(INFINITE);
  HostLock lock(sid);
  Instance in;
  LoadInstance(in, home, sid);
  if (fault == "fail") {
    out.push_back("ORA-01097: cannot shutdown while in a transaction - commit or rollback first");
    return false;
  }
  if (mode != "abort") {
    if (in.st.state == kDown) {
      out.push_back("ORA-01034: ORACLE not available");
      return false;
    }
    if (in.st.state == kStarted) {
      out.push_back("ORA-01507: database not mounted");
      out.push_back("");
    } else if (in.st.state == kMounted) {
      out.push_back("ORA-01109: database not open");
      out.push_back("");
      out.push_back("Database dismounted.");
    } else if (ReadControlFiles(in)) {
      Checkpoint(in, false);
      in.cf.clean = true;
      SaveControlFiles(in);
      out.push_back("Database closed.");
      out.push_back("Database dismounted.");
    }
  }
  WriteAlertLog(home, sid, "Shutting down instance (" + mode + ")");
  in.st.state = kDown;
  SaveHostState(home, sid, in.st);
  out.push_back("ORACLE instance shut down.");
  return true;
}

bool SwitchLogfile(const std::string& home, const std::string& sid, Lines& out) {
  HostLock lock(sid);
  Instance in;
  LoadInstance(in, home, sid);
  if (!StateAllows(in.st.state, kOpen, out) || !ReadControlFiles(in)) return false;
  SwitchInternal(in);
  SaveControlFiles(in);
  out.push_back("System altered.");
  return true;
}

std::string CommitRows(const std::string& home, const std::string& sid, int count, int switchEvery,
                       long long& lastNumber) {
  std::vector<Row> rows;
  std::string err = ListRows(home, sid, rows);
  if (!err.empty()) return err;
  HostLock lock(sid);
  Instance in;
  LoadInstance(in, home, sid);
  if (!ReadControlFiles(in)) return "ORA-00210: cannot open the specified control file";
  lastNumber = rows.empty() ? 0 : rows.back().number;
  for (int i = 0; i < count; ++i) {
    RedoGroup* g = CurrentGroup(in);
    RedoLog log;
    if (!g || !ReadGroup(in, *g, log)) return "ORA-00313: open failed for members of log group";
    Row r;
    r.number = ++lastNumber;
    r.scn = ++in.cf.scn;
    r.time = NowText();
    log.rows.push_back(r);
    WriteGroup(in, *g, log);
    if (switchEvery > 0 && (i + 1) % switchEvery == 0) SwitchInternal(in);
  }
  SaveControlFiles(in);
  return "";
}

std::string ListRows(const std::string& home, const std::string& sid, std::vector<Row>& rows) {
  HostLock lock(sid);
  Instance in;
  LoadInstance(in, home, sid);
  if (in.st.state == kDown) return "ORA-01034: ORACLE not available";
  if (in.st.state != kOpen) return "ORA-01219: database not open: queries allowed on fixed tables/views only";
  if (!ReadControlFiles(in)) return "ORA-00210: cannot open the specified control file";
  rows.clear();
  long long ck = 0;
  for (const auto& f : in.cf.files) {
    DataFile df;
    if (!IsUsers(f) || ReadDataFile(f.path, df) != 0) continue;
    for (const auto& rec : df.records)
      if (rec.compare(0, 4, "ROW ") == 0) rows.push_back(ParseRow(rec));
    ck = df.checkpoint;
  }
  for (const auto& r : OnlineRows(in))
    if (r.scn > ck) rows.push_back(r);
  std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.number < b.number; });
  return "";
}

bool RecoverDatabase(const std::string& home, const std::string& sid, const std::string& untilTime,
                     Lines& out) {
  HostLock lock(sid);
  Instance in;
  LoadInstance(in, home, sid);
  if (in.st.state == kOpen) {
    out.push_back("ORA-01124: cannot recover data file 1 - file is in use or recovery");
    if (ReadControlFiles(in) && !in.cf.files.empty()) out.push_back(DataFileName(in.cf.files[0]));
    return false;
  }
  if (!StateAllows(in.st.state, kMounted, out) || !ReadControlFiles(in)) return false;

  // 1. Which files need redo, and from which change on.
  std::vector<DataFile> files(in.cf.files.size());
  long long from = -1;
  for (size_t i = 0; i < in.cf.files.size(); ++i) {
    const DataFileEntry& f = in.cf.files[i];
    if (ReadDataFile(f.path, files[i]) != 0) {
      out.push_back("ORA-00283: recovery session canceled due to errors");
      out.push_back(DataFileName(f));
      out.push_back("ORA-01157: cannot identify/lock data file " + std::to_string(f.id) + " - see DBWR trace file");
      return false;
    }
    if (files[i].checkpoint < in.cf.checkpoint || files[i].fuzzy || !in.cf.clean)
      from = from < 0 ? files[i].checkpoint : std::min(from, files[i].checkpoint);
  }
  if (from < 0) {
    out.push_back("ORA-00283: recovery session canceled due to errors");
    out.push_back("ORA-00264: no recovery required");
    return false;
  }
  for (size_t i = 0; i < in.cf.files.size(); ++i)
    if (!untilTime.empty() && IsUsers(in.cf.files[i]))
      for (const auto& rec : files[i].records)
        if (rec.compare(0, 4, "ROW ") == 0 && ParseRow(rec).time > untilTime) {
          out.push_back("ORA-01547: warning: RECOVER succeeded but OPEN RESETLOGS would get error below");
          out.push_back("ORA-01152: file " + std::to_string(in.cf.files[i].id) +
                        " was not restored from a sufficiently old backup");
          out.push_back(DataFileName(in.cf.files[i]));
          return false;
        }

  // 2. The redo at hand: archived logs of this incarnation, and the online groups for the
  //    sequences that have no archived copy (the current one at least).
  struct Source { RedoLog log; std::string path; bool archived; };
  std::map<long long, Source> logs;
  std::string dest = ArchiveFolder(in.params);
  WIN32_FIND_DATAA fd;
  HANDLE h = dest.empty() ? INVALID_HANDLE_VALUE : FindFirstFileA((dest + "\\ARC*.*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      Source s{RedoLog(), dest + "\\" + fd.cFileName, true};
      if (ReadRedoLog(s.path, s.log) && s.log.incarnation == in.cf.incarnation) logs[s.log.sequence] = s;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  long long current = 0;
  for (const auto& g : in.cf.groups) {
    Source s{RedoLog(), g.members.empty() ? "" : g.members[0].path, false};
    if (g.sequence > 0 && !logs.count(g.sequence) && ReadGroup(in, g, s.log)) logs[g.sequence] = s;
    if (g.status == "CURRENT") current = g.sequence;
  }

  // 3. The logs from the one holding the files' checkpoint to the current one, without a gap.
  long long first = 0;
  for (const auto& l : logs)
    if (l.second.log.firstChange <= from) first = l.first;
  if (first == 0) first = logs.empty() ? current : logs.begin()->first - 1;
  for (long long seq = first; seq <= current; ++seq) {
    if (logs.count(seq)) continue;
    char name[32];
    snprintf(name, sizeof name, "\\ARC%05lld.001", seq);
    AddLogRequest(out, from, NowText(), dest + name, seq);
    out.push_back("ORA-00308: cannot open archived log '" + dest + name + "'");
    out.push_back("ORA-27041: unable to open file");
    out.push_back("OSD-04002: unable to open file");
    out.push_back("O/S-Error: (OS 2) The system cannot find the file specified.");
    return false;
  }

  // 4. Apply, stopping at the first change after the target time.
  bool stopped = false;
  for (long long seq = first; seq <= current && !stopped; ++seq) {
    const Source& s = logs[seq];
    if (s.archived) {
      AddLogRequest(out, s.log.firstChange, s.log.firstTime, s.path, seq);
      out.push_back("Log applied.");
    }
    for (const auto& r : s.log.rows) {
      if (!untilTime.empty() && r.time > untilTime) {
        stopped = true;
        break;
      }
      for (size_t i = 0; i < files.size(); ++i)
        if (IsUsers(in.cf.files[i]) && r.scn > files[i].checkpoint) files[i].records.push_back(FormatRow(r));
    }
  }
  long long ck = ++in.cf.scn;
  for (size_t i = 0; i < files.size(); ++i) {
    files[i].checkpoint = ck;
    files[i].fuzzy = false;
    WriteDataFile(in.cf.files[i].path, files[i], in.cf.files[i].bytes);
  }
  in.cf.checkpoint = ck;
  in.cf.clean = true;
  if (!untilTime.empty()) in.cf.resetlogs = true;
  SaveControlFiles(in);
  WriteAlertLog(home, sid, "Media Recovery Complete");
  out.push_back("Media recovery complete.");
  return true;
}

bool OpenResetlogs(const std::string& home, const std::string& sid, Lines& out) {
  HostLock lock(sid);
  Instance in;
  LoadInstance(in, home, sid);
  if (in.st.state == kOpen) {
    out.push_back("ORA-01531: a database already open by the instance");
    return false;
  }
  if (!StateAllows(in.st.state, kMounted, out) || !ReadControlFiles(in)) return false;
  if (!OpenDatabase(in, true, out)) return false;
  in.st.state = kOpen;
  SaveHostState(home, sid, in.st);
  out.push_back("Database altered.");
  return true;
}

}  // namespace sim
