// The files of the simulated host: host state, password file, control, data and redo files.
// All are text records; data files and redo members are padded to their real size.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "engine.h"

namespace sim {

std::string Upper(std::string s) {
  for (char& c : s) c = (char)toupper((unsigned char)c);
  return s;
}

std::string FolderOf(const std::string& path) {
  size_t p = path.find_last_of('\\');
  return p == std::string::npos ? "" : path.substr(0, p);
}

void CreateFolders(const std::string& path) {
  for (size_t p = path.find('\\', 3); ; p = path.find('\\', p + 1)) {
    CreateDirectoryA(path.substr(0, p).c_str(), nullptr);
    if (p == std::string::npos) break;
  }
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string n = fd.cFileName, p = path + "\\" + n;
      if (n == "." || n == "..") continue;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(p);
      } else {
        SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(p.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(path.c_str());
}

std::string NowText() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char buf[32];
  snprintf(buf, sizeof buf, "%04d-%02d-%02d:%02d:%02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour,
           t.wMinute, t.wSecond);
  return buf;
}

HostLock::HostLock(const std::string& sid) {
  mutex = CreateMutexA(nullptr, FALSE, ("kxsim-instance-" + Upper(sid)).c_str());
  // An owner that died leaves the mutex abandoned: the files are whole, so take it anyway.
  WaitForSingleObject(mutex, INFINITE);
}

HostLock::~HostLock() {
  ReleaseMutex(mutex);
  CloseHandle(mutex);
}

bool WritePaddedFile(const std::string& path, const std::string& text, long long size) {
  // Write-only access, so a file the instance itself holds open (shared for writing) can still
  // be written; the padding is set by moving the end, which costs no writes. Whatever an older,
  // longer content left behind the END line is never read.
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD done = 0;
  bool ok = WriteFile(h, text.data(), (DWORD)text.size(), &done, nullptr) && done == text.size();
  LARGE_INTEGER end;
  end.QuadPart = size > (long long)text.size() ? size : (long long)text.size();
  ok = ok && SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
  CloseHandle(h);
  return ok;
}

DWORD ReadRecordFile(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError();
  std::string text;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) {
    size_t zero = std::string(buf, got).find('\0');
    text.append(buf, zero == std::string::npos ? got : zero);
    if (zero != std::string::npos) break;
  }
  CloseHandle(h);
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "END") return 0;
    lines.push_back(line);
  }
  // No END line: a truncated or foreign file.
  return ERROR_FILE_CORRUPT;
}

// "KEY VALUE" lines after a first header line; KEY is the first word.
static std::string Field(const std::vector<std::string>& lines, const std::string& key) {
  for (const auto& l : lines)
    if (l.compare(0, key.size() + 1, key + " ") == 0) return l.substr(key.size() + 1);
  return "";
}

std::string HostStatePath(const std::string& home, const std::string& sid) {
  return home + "\\DATABASE\\KXSIM" + Upper(sid) + ".DAT";
}

bool LoadHostState(const std::string& home, const std::string& sid, HostState& out) {
  std::vector<std::string> lines;
  // Readers that do not take the lock (fault checks) may meet the file half rewritten.
  DWORD err = ReadRecordFile(HostStatePath(home, sid), lines);
  for (int i = 0; i < 50 && err == ERROR_FILE_CORRUPT; ++i) {
    Sleep(10);
    err = ReadRecordFile(HostStatePath(home, sid), lines);
  }
  if (err != 0) return false;
  out = HostState();
  out.release = Field(lines, "RELEASE");
  out.listener = Field(lines, "LISTENER");
  out.state = atoi(Field(lines, "STATE").c_str());
  for (const auto& l : lines)
    if (l.compare(0, 6, "FAULT ") == 0) {
      size_t p = l.find(' ', 6);
      out.faults[l.substr(6, p - 6)] = p == std::string::npos ? "" : l.substr(p + 1);
    }
  return true;
}

bool SaveHostState(const std::string& home, const std::string& sid, const HostState& st) {
  std::string t = "KXSIM HOST\r\nRELEASE " + st.release + "\r\nLISTENER " + st.listener +
                  "\r\nSTATE " + std::to_string(st.state) + "\r\n";
  for (const auto& f : st.faults) t += "FAULT " + f.first + " " + f.second + "\r\n";
  return WritePaddedFile(HostStatePath(home, sid), t + "END\r\n", 0);
}

std::string PasswordFilePath(const std::string& home, const std::string& sid) {
  return home + "\\DATABASE\\PWD" + Upper(sid) + ".ORA";
}

std::string ReadPasswordFile(const std::string& home, const std::string& sid) {
  std::vector<std::string> lines;
  if (ReadRecordFile(PasswordFilePath(home, sid), lines) != 0) return "";
  return Field(lines, "SYS");
}

bool WritePasswordFile(const std::string& home, const std::string& sid, const std::string& password) {
  return WritePaddedFile(PasswordFilePath(home, sid),
                         "KXSIM PASSWORD FILE\r\nSYS " + password + "\r\nEND\r\n", 2048);
}

bool ReadControlFile(const std::string& path, ControlFile& out) {
  std::vector<std::string> lines;
  if (ReadRecordFile(path, lines) != 0 || lines.empty() || lines[0] != "KXSIM CONTROL FILE")
    return false;
  out = ControlFile();
  for (const auto& l : lines) {
    std::istringstream in(l);
    std::string key;
    in >> key;
    if (key == "DB_NAME") in >> out.dbName;
    else if (key == "SCN") in >> out.scn;
    else if (key == "CHECKPOINT") in >> out.checkpoint;
    else if (key == "CLEAN") in >> out.clean;
    else if (key == "RESETLOGS") in >> out.resetlogs;
    else if (key == "INCARNATION") in >> out.incarnation;
    else if (key == "DATAFILE") {
      DataFileEntry f;
      in >> f.id >> f.tablespace >> f.bytes;
      std::getline(in >> std::ws, f.path);
      out.files.push_back(f);
    } else if (key == "GROUP") {
      RedoGroup g;
      int archived = 0;
      in >> g.group >> g.sequence >> g.firstChange >> g.firstTime >> archived >> g.status >> g.bytes;
      g.archived = archived != 0;
      out.groups.push_back(g);
    } else if (key == "MEMBER" && !out.groups.empty()) {
      RedoMember m;
      in >> m.status;
      if (m.status == "-") m.status.clear();
      std::getline(in >> std::ws, m.path);
      out.groups.back().members.push_back(m);
    }
  }
  return true;
}

std::string FormatControlFile(const ControlFile& cf) {
  std::ostringstream o;
  o << "KXSIM CONTROL FILE\r\nDB_NAME " << cf.dbName << "\r\nSCN " << cf.scn << "\r\nCHECKPOINT "
    << cf.checkpoint << "\r\nCLEAN " << cf.clean << "\r\nRESETLOGS " << cf.resetlogs
    << "\r\nINCARNATION " << cf.incarnation << "\r\n";
  for (const auto& f : cf.files)
    o << "DATAFILE " << f.id << " " << f.tablespace << " " << f.bytes << " " << f.path << "\r\n";
  for (const auto& g : cf.groups) {
    o << "GROUP " << g.group << " " << g.sequence << " " << g.firstChange << " "
      << (g.firstTime.empty() ? "-" : g.firstTime) << " " << g.archived << " " << g.status << " "
      << g.bytes << "\r\n";
    for (const auto& m : g.members)
      o << "MEMBER " << (m.status.empty() ? "-" : m.status) << " " << m.path << "\r\n";
  }
  o << "END\r\n";
  return o.str();
}

Row ParseRow(const std::string& record) {
  Row r;
  std::istringstream in(record);
  std::string key;
  in >> key >> r.number >> r.scn >> r.time;
  return r;
}

std::string FormatRow(const Row& r) {
  return "ROW " + std::to_string(r.number) + " " + std::to_string(r.scn) + " " + r.time;
}

// A data file held by the instance's own process (the "hold-datafile" fault) cannot be read by
// the others; that process keeps its content readable beside it, as the instance's own view.
std::string HeldCopyPath(const std::string& path) { return path + ".HELD"; }

DWORD ReadDataFile(const std::string& path, DataFile& out) {
  std::vector<std::string> lines;
  DWORD err = ReadRecordFile(path, lines);
  if (err == ERROR_SHARING_VIOLATION) err = ReadRecordFile(HeldCopyPath(path), lines);
  if (err != 0) return err;
  std::istringstream in(lines.empty() ? "" : lines[0]);
  std::string a, b;
  int fuzzy = 0;
  in >> a >> b >> out.id >> out.checkpoint >> fuzzy;
  if (a != "KXSIM" || b != "DATAFILE") return ERROR_FILE_CORRUPT;
  out.fuzzy = fuzzy != 0;
  out.records.assign(lines.begin() + 1, lines.end());
  return 0;
}

bool WriteDataFile(const std::string& path, const DataFile& df, long long size) {
  std::string t = "KXSIM DATAFILE " + std::to_string(df.id) + " " + std::to_string(df.checkpoint) +
                  " " + (df.fuzzy ? "1" : "0") + "\r\n";
  for (const auto& r : df.records) t += r + "\r\n";
  t += "END\r\n";
  if (GetFileAttributesA(HeldCopyPath(path).c_str()) != INVALID_FILE_ATTRIBUTES)
    WritePaddedFile(HeldCopyPath(path), t, 0);
  return WritePaddedFile(path, t, size);
}

bool ReadRedoLog(const std::string& path, RedoLog& out) {
  std::vector<std::string> lines;
  if (ReadRecordFile(path, lines) != 0 || lines.empty()) return false;
  std::istringstream in(lines[0]);
  std::string a, b;
  in >> a >> b >> out.group >> out.sequence >> out.firstChange >> out.firstTime >> out.incarnation;
  if (a != "KXSIM" || b != "REDO") return false;
  out.rows.clear();
  for (size_t i = 1; i < lines.size(); ++i) out.rows.push_back(ParseRow(lines[i]));
  return true;
}

RedoLog EmptyLog(const RedoGroup& g, int incarnation) {
  RedoLog log;
  log.group = g.group;
  log.sequence = g.sequence;
  log.firstChange = g.firstChange;
  log.firstTime = g.firstTime;
  log.incarnation = incarnation;
  return log;
}

bool WriteRedoLog(const std::string& path, const RedoLog& log, long long size) {
  std::string t = "KXSIM REDO " + std::to_string(log.group) + " " + std::to_string(log.sequence) +
                  " " + std::to_string(log.firstChange) + " " +
                  (log.firstTime.empty() ? "-" : log.firstTime) + " " +
                  std::to_string(log.incarnation) + "\r\n";
  for (const auto& r : log.rows) t += FormatRow(r) + "\r\n";
  return WritePaddedFile(path, t + "END\r\n", size);
}

}  // namespace sim
