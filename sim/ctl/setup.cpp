// setup / teardown: a complete simulated Oracle host for one release in the Wine prefix.
//   simctl setup --release 8.0|8.1|9i --copies C:\BACKUP [--sid ORCL] [--password P] [--alias A]
//     [--datafile-kb N] [--redo-kb N] [--groups N] [--archive-location] [--break control|redo]
//     [--lower-copies] [--nls TEXT] [--shutdown-type a|i|n] [--bin DIR] [--oci PATH] [--no-start]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "ctl.h"
#include "engine.h"

namespace {

std::string Opt(const Options& opt, const std::string& name, const std::string& fallback) {
  auto it = opt.find(name);
  return it == opt.end() || it->second.empty() ? fallback : it->second;
}

bool SetValue(const std::string& key, const std::string& name, const std::string& value) {
  HKEY k;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                      nullptr) != ERROR_SUCCESS)
    return false;
  bool ok = RegSetValueExA(k, name.c_str(), 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1) ==
            ERROR_SUCCESS;
  RegCloseKey(k);
  return ok;
}

// What differs between the releases: where things are and what they are called.
struct Release {
  const char* name;
  const char* home;
  const char* data;      // folder of the data files, {SID} replaced
  const char* tool;
  const char* listener;
  const char* dump;      // background_dump_dest
  const char* archiv;    // the ARCHIV directory object
  const char* fileNames[4];   // SYSTEM, RBS/UNDO, USERS, TEMP
  const char* tablespaces[4];
  const char* control;   // control file names, {N} = 1, 2
  const char* redo;      // redo member names, {G} group, {M} A or B
};

const Release kReleases[] = {
    {"8.0", "C:\\ORANT", "C:\\ORANT\\DATABASE", "svrmgr30.exe", "OracleTNSListener80",
     "C:\\ORANT\\RDBMS80\\TRACE", "C:\\ORANT\\ARCHIV\\",
     {"SYS1{SID}.ORA", "RBS1{SID}.ORA", "USR1{SID}.ORA", "TMP1{SID}.ORA"},
     {"SYSTEM", "RBS", "USERS", "TEMP"}, "CTL{N}{SID}.ORA", "LOG{G}{M}{SID}.ORA"},
    {"8.1", "C:\\ORACLE\\ORA81", "C:\\ORACLE\\ORADATA\\{SID}", "sqlplusw.exe", "OracleOraHome81TNSListener",
     "C:\\ORACLE\\ADMIN\\{SID}\\BDUMP", "C:\\ORACLE\\ARCHIV\\",
     {"SYSTEM01.DBF", "RBS01.DBF", "USERS01.DBF", "TEMP01.DBF"},
     {"SYSTEM", "RBS", "USERS", "TEMP"}, "CONTROL0{N}.CTL", "REDO0{G}{M}.LOG"},
    {"9i", "C:\\ORACLE\\ORA92", "C:\\ORACLE\\ORADATA\\{SID}", "sqlplusw.exe", "OracleOraHome92TNSListener",
     "C:\\ORACLE\\ADMIN\\{SID}\\BDUMP", "C:\\ORACLE\\ARCHIV\\",
     {"SYSTEM01.DBF", "UNDOTBS01.DBF", "USERS01.DBF", "TEMP01.DBF"},
     {"SYSTEM", "UNDOTBS", "USERS", "TEMP"}, "CONTROL0{N}.CTL", "REDO0{G}{M}.LOG"}};

std::string Fill(std::string text, const std::string& key, const std::string& value) {
  for (size_t p; (p = text.find(key)) != std::string::npos;) text.replace(p, key.size(), value);
  return text;
}

bool Fail(const std::string& what) {
  fprintf(stderr, "simctl setup: %s\n", what.c_str());
  return false;
}

}  // namespace

int TeardownHost(const Options& opt) {
  DeleteHostServices();
  // The homes and data folders of every release belong to the simulated host alone.
  sim::RemoveTree("C:\\ORANT");
  sim::RemoveTree("C:\\ORACLE");
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ORACLE\\HOME0");
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ORACLE");
  return 0;
}

int SetupHost(const Options& opt) {
  const Release* rel = nullptr;
  for (const auto& r : kReleases)
    if (Opt(opt, "release", "") == r.name) rel = &r;
  std::string copies = sim::Upper(Opt(opt, "copies", ""));
  if (!rel || copies.empty()) {
    Fail("--release 8.0|8.1|9i and --copies DIR are needed");
    return 2;
  }
  while (copies.size() > 3 && copies.back() == '\\') copies.pop_back();
  std::string sid = sim::Upper(Opt(opt, "sid", "ORCL"));
  std::string home = rel->home, data = Fill(rel->data, "{SID}", sid);
  std::string breaks = Opt(opt, "break", "");

  // 1. A fresh host: nothing left of an earlier one.
  TeardownHost(opt);

  // 2. The database: one control file and one member of each group in the copies directory
  //    (unless the layout is asked to break that rule), the rest in the data folder.
  sim::DatabaseLayout l;
  l.home = home;
  l.sid = sid;
  l.release = rel->name;
  l.listener = rel->listener;
  l.password = Opt(opt, "password", "change_on_install");
  long long fileBytes = atoll(Opt(opt, "datafile-kb", "2048").c_str()) * 1024;
  for (int i = 0; i < 4; ++i)
    l.files.push_back({i + 1, rel->tablespaces[i], data + "\\" + Fill(rel->fileNames[i], "{SID}", sid),
                       i == 2 ? 2 * fileBytes : fileBytes});
  std::string control = Fill(rel->control, "{SID}", sid);
  l.controlFiles = {data + "\\" + Fill(control, "{N}", "1"),
                    (breaks == "control" ? data : copies) + "\\" + Fill(control, "{N}", "2")};
  int groups = atoi(Opt(opt, "groups", "3").c_str());
  for (int g = 1; g <= groups; ++g) {
    std::string redo = Fill(Fill(rel->redo, "{SID}", sid), "{G}", std::to_string(g));
    std::string inCopies = (breaks == "redo" ? data : copies) + "\\" + Fill(redo, "{M}", "B");
    if (opt.count("lower-copies"))
      for (char& c : inCopies) c = (char)tolower((unsigned char)c);
    l.redoMembers.push_back({data + "\\" + Fill(redo, "{M}", "A"), inCopies});
  }
  l.redoBytes = atoll(Opt(opt, "redo-kb", "512").c_str()) * 1024;
  std::string archive = data + "\\ARCHIVE";
  l.archiveParameter = opt.count("archive-location") ? "log_archive_dest_1" : "log_archive_dest";
  l.archiveValue = opt.count("archive-location") ? "\"LOCATION=" + archive + "\"" : archive;
  l.archivDirectory = rel->archiv;
  l.dumpDest = Fill(rel->dump, "{SID}", sid);
  if (std::string(rel->name) == "9i") l.spfile = home + "\\DATABASE\\SPFILE" + sid + ".ORA";
  CreateDirectoryA(copies.c_str(), nullptr);
  std::string err = sim::CreateDatabase(l);
  if (!err.empty()) return Fail(err), 1;

  // 3. BIN: the tool, the service program and the client library.
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string bin = Opt(opt, "bin", sim::FolderOf(self)), homeBin = home + "\\BIN";
  sim::CreateFolders(homeBin);
  if (!CopyFileA((bin + "\\simtool.exe").c_str(), (homeBin + "\\" + rel->tool).c_str(), FALSE) ||
      !CopyFileA((bin + "\\simsvc.exe").c_str(), (homeBin + "\\simsvc.exe").c_str(), FALSE))
    return Fail("cannot copy simtool.exe / simsvc.exe from " + bin), 1;
  std::string oci = Opt(opt, "oci", bin + "\\oci.dll");
  if (GetFileAttributesA(oci.c_str()) != INVALID_FILE_ATTRIBUTES)
    CopyFileA(oci.c_str(), (homeBin + "\\oci.dll").c_str(), FALSE);
  if (std::string(rel->name) == "8.0") sim::CreateFolders(home + "\\RDBMS80\\TRACE");

  // 4. Net: the alias, one line per entry.
  sim::CreateFolders(home + "\\NETWORK\\ADMIN");
  {
    std::ofstream tns(home + "\\NETWORK\\ADMIN\\tnsnames.ora");
    tns << Opt(opt, "alias", sid) << " = (DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = localhost)"
        << "(PORT = 1521)) (CONNECT_DATA = (SID = " << sid << ")))\n";
  }

  // 5. Registry: the home, and the home's own key with the SID and the client language.
  std::string key0 = "SOFTWARE\\ORACLE\\HOME0";
  if (!SetValue("SOFTWARE\\ORACLE", "ORACLE_HOME", home) || !SetValue(key0, "ORACLE_HOME", home) ||
      !SetValue(key0, "ORACLE_SID", sid) ||
      !SetValue(key0, "NLS_LANG", Opt(opt, "nls", "AMERICAN_AMERICA.CL8MSWIN1251")) ||
      !SetValue(key0, "ORACLE_HOME_NAME", std::string("OraHome") + (rel->name[0] == '9' ? "92" : "81")))
    return Fail("cannot write the registry"), 1;
  if (opt.count("shutdown-type")) SetValue(key0, "ORA_" + sid + "_SHUTDOWNTYPE", Opt(opt, "shutdown-type", "i"));

  // 6. Services, registered and started: the listener first, then the database.
  std::string svc = "\"" + homeBin + "\\simsvc.exe\" ";
  std::vector<std::pair<std::string, std::string>> services = {
      {rel->listener, svc + "listener " + sid}, {"OracleService" + sid, svc + "database " + sid}};
  if (std::string(rel->name) == "8.0") services.push_back({"OracleStart" + sid, svc + "start " + sid});
  for (const auto& s : services)
    if (!CreateHostService(s.first, s.second)) return Fail("cannot create service " + s.first), 1;
  if (!opt.count("no-start"))
    for (const auto& s : services)
      if (!StartHostService(s.first)) return Fail("service " + s.first + " does not start"), 1;
  printf("host %s %s ready: home %s, copies %s\n", rel->name, sid.c_str(), home.c_str(), copies.c_str());
  return 0;
}
