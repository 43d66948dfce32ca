// A new database: the files a freshly created Oracle database of the layout has, shut down.
#include <fstream>

#include "engine.h"

namespace sim {

std::string CreateDatabase(const DatabaseLayout& l) {
  // 1. Folders of every file.
  CreateFolders(l.home + "\\DATABASE");
  for (const auto& c : l.controlFiles) CreateFolders(FolderOf(c));
  for (const auto& f : l.files) CreateFolders(FolderOf(f.path));
  for (const auto& g : l.redoMembers)
    for (const auto& m : g) CreateFolders(FolderOf(m));
  std::string archive = ArchiveFolder({{l.archiveParameter, l.archiveValue}});
  if (!archive.empty()) CreateFolders(archive);
  CreateFolders(l.archivDirectory.substr(0, l.archivDirectory.find_last_not_of('\\') + 1));
  CreateFolders(l.dumpDest);

  // 2. Parameters: in init<SID>.ora, or for 9i in the spfile that init<SID>.ora points to.
  std::string params = "db_name = " + l.sid + "\n";
  params += "control_files = (";
  for (size_t i = 0; i < l.controlFiles.size(); ++i) params += (i ? ", " : "") + l.controlFiles[i];
  params += ")\n";
  params += "log_archive_start = true\n";
  params += l.archiveParameter + " = " + l.archiveValue + "\n";
  params += "background_dump_dest = " + l.dumpDest + "\n";
  std::string init = l.home + "\\DATABASE\\init" + l.sid + ".ora";
  {
    std::ofstream out(l.spfile.empty() ? init : l.spfile);
    out << params;
    if (!out) return "cannot write the parameter file";
  }
  if (!l.spfile.empty()) {
    std::ofstream out(init);
    out << "SPFILE='" << l.spfile << "'\n";
    if (!out) return "cannot write " + init;
  }
  if (!WritePasswordFile(l.home, l.sid, l.password)) return "cannot write the password file";

  // 3. Data files, all consistent at change 1.
  ControlFile cf;
  cf.dbName = l.sid;
  cf.files = l.files;
  for (const auto& f : l.files) {
    DataFile df;
    df.id = f.id;
    df.checkpoint = cf.checkpoint;
    if (f.tablespace == "SYSTEM") df.records.push_back("DIR ARCHIV " + l.archivDirectory);
    if (!WriteDataFile(f.path, df, f.bytes)) return "cannot write " + f.path;
  }

  // 4. Redo: the first group current at sequence 1, the others not used yet.
  for (size_t i = 0; i < l.redoMembers.size(); ++i) {
    RedoGroup g;
    g.group = (int)i + 1;
    g.sequence = i == 0 ? 1 : 0;
    g.firstChange = i == 0 ? 1 : 0;
    g.firstTime = i == 0 ? NowText() : "";
    g.status = i == 0 ? "CURRENT" : "UNUSED";
    g.bytes = l.redoBytes;
    RedoLog log = EmptyLog(g, 1);
    for (const auto& m : l.redoMembers[i]) {
      g.members.push_back({m, ""});
      if (!WriteRedoLog(m, log, l.redoBytes)) return "cannot write " + m;
    }
    cf.groups.push_back(g);
  }
  std::string text = FormatControlFile(cf);
  for (const auto& c : l.controlFiles)
    if (!WritePaddedFile(c, text, 256 * 1024)) return "cannot write " + c;

  // 5. The instance, shut down.
  HostState st;
  st.release = l.release;
  st.listener = l.listener;
  if (!SaveHostState(l.home, l.sid, st)) return "cannot write " + HostStatePath(l.home, l.sid);
  return "";
}

}  // namespace sim
