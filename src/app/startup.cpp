// The start-up sequence: services, mode, language, Oracle environment and the mode's settings.
#include <algorithm>
#include "app/globals.h"
#include "app/main_form.h"
#include "config/config.h"
#include "log/log.h"
#include "oracle/oracle.h"
#include "platform/gui.h"
#include "platform/msgbox.h"
#include "platform/scoped.h"
#include "platform/text.h"

namespace {

bool FileExists(const std::string& name) {
  const DWORD a = GetFileAttributesA(name.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder of the running program in capitals, without a trailing backslash unless it is
// the root of a drive.
std::string ProgramFolderUpper() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  const size_t slash = folder.find_last_of('\\');
  folder.erase(slash == std::string::npos ? 0 : slash);
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  if (!folder.empty()) CharUpperBuffA(folder.data(), static_cast<DWORD>(folder.size()));
  return folder;
}

// Names of the directory entries matching a pattern, with their packed modification times.
struct FoundEntry {
  std::string name;
  int32_t stamp;
};

std::vector<FoundEntry> FindEntries(const std::string& pattern) {
  std::vector<FoundEntry> found;
  WIN32_FIND_DATAA d;
  ui::AutoFindHandle h(FindFirstFileA(pattern.c_str(), &d));
  if (!h.Ok()) return found;
  do found.push_back({d.cFileName, PackFileTime(d.ftLastWriteTime)});
  while (FindNextFileA(h, &d));
  return found;
}

void SetCaptions(TMF& f, bool russian) {
  struct Caption {
    ui::Control* control;
    const char* english;
    const char* russian;
  };
  const Caption captions[] = {
      {&f.Button1, "Begin BACKUP", "Начать BACKUP"},
      {&f.Button2, "Close", "Выход"},
      {&f.Button3, "Begin RECOVERY", "Начать RECOVERY"},
      {&f.RadioButton1, "Full ", "Полное "},
      {&f.RadioButton2, "Until ", "До "},
      {&f.Button5, "View Oracle Alert Log", "Просмотр журнала Оракл"},
      {&f.Button6, "Restore BACKUP disk", "Восстановить BACKUP диск"},
      {&f.Button7, "View current Log", "Просмотр текущего журнала"},
      {&f.Label5, "Required space is ", "Необходимо"},
      {&f.Label6, "Free space is ", "Свободно"},
      {&f.Label7, "PATH to BACKUP ", "Путь на BACKUP "},
  };
  for (const Caption& c : captions) c.control->SetText(russian ? c.russian : c.english);
}

int32_t ReleaseClass(const std::string& home) {
  if (home.find('9') != std::string::npos) return 2;
  if (home.find("81") != std::string::npos) return 0;
  return 1;
}

std::string ReleaseLine() {
  switch (VersionClass) {
    case 2: return "Oracle Server  9.X";
    case 0: return "Oracle Server  8.1.X";
    case 1: return "Oracle Server  8.0.4";
  }
  return PickText("Oracle Server version is unknown. Try to execute as 8.1.X",
                  "Версия сервера Oracle неизвестна, пытаюсь выполнить BACKUP для 8.1.X");
}

std::string NotSpecified(const std::string& key, const std::string& file) {
  return "'" + key + "' " + PickText(" is not specified in ", " не указан в ") + file + MsgProcessingImpossible;
}

// Reads a setting that must be there; when it is empty, reports it as not specified in the file.
bool ReadRequired(const std::string& file, const std::string& key, const std::string& fileText, std::string& value) {
  value = ReadConfigValue(file, key);
  if (value.empty()) WriteWorkLog(NotSpecified(key, fileText), 1);
  return !value.empty();
}

void NoParameterFile() {
  ui::ShowMessage(PickText("There is no INIT file, processing is impossible!",
                           "Не найден файл параметров, дальнейшая обработка невозможна!"));
}

// Backup mode's settings, checks and copies directory; false when the program must end.
bool PrepareBackupMode(TMF& f) {
  CopiesDir = ReadConfigValue("kantrix.ini", "COPIES_DIR");
  if (CopiesDir.empty()) {
    WriteWorkLog(PickText("Parameter 'Directory for OFFLine Backup' is not specified in KANTRIX.INI!\n",
                          "Параметр 'Directory for OFFLine Backup' не указан в  KANTRIX.INI!\n") +
                     MsgProcessingImpossible,
                 1);
    return false;
  }
  // Compared as written: the check only guards against the usual way of naming the folder.
  if (CopiesDir == ProgramFolderUpper()) {
    WriteWorkLog(PickText("Parameter 'Directory for OFFLine Backup' must be different from current catalogue "
                          "where KANTRIX.EXE produces backup!\n",
                          "Параметр 'Directory for OFFLine Backup' должен отличаться от каталога, из которого "
                          "запускается KANTRIX.EXE для производства бэкапа!") +
                     MsgProcessingImpossible,
                 1);
    return false;
  }
  if (InitOraPath.empty() && SpfileOraPath.empty()) {
    NoParameterFile();
    return false;
  }
  WriteWorkLog(!InitOraPath.empty() ? "init.ora = " + InitOraPath : "spfile.ora = " + SpfileOraPath, 0);
  f.TrayIcon1.SetIconIndex(0);
  ServerName = ReadConfigValue("kantrix.ini", "SERVER_NAME");
  if (!ReadRequired("kantrix.ini", "USER_NAME", " KANTRIX.INI!\n", UserName)) return false;
  if (!ReadRequired("kantrix.ini", "USER_PASS", " KANTRIX.INI!\n", UserPass)) return false;
  // Only its presence is checked here: the scheduler reads the value at every tick.
  std::string period;
  if (!ReadRequired("kantrix.ini", "TIME_PERIOD", " KANTRIX.INI!\n", period)) return false;
  if (CopiesDir.back() == '\\') CopiesDir.pop_back();
  f.Edit1.SetText(CopiesDir);

  if (!DirectoryExists(CopiesDir)) {
    WriteWorkLog(PickText("Directory for OFFLine copies doesn't exists. Creating...",
                          "Каталог для файлов BACKUP не существует, будет создан!"),
                 0);
    if (!CreateDirectoryA(CopiesDir.c_str(), nullptr)) {
      WriteWorkLog(MsgCannotCreateDir + "  " + CopiesDir + "  " + ui::SystemErrorText(GetLastError()), 1);
      return false;
    }
    WriteWorkLog(PickText("Directory ", "Каталог ") + CopiesDir + PickText(" is created.", " создан."), 0);
  }
  const std::string archives = CopiesDir + "\\ARCHIVES";
  if (!DirectoryExists(archives)) {
    WriteWorkLog(PickText("Directory for BANK Archives doesn't exists. Creating...",
                          "Каталог для файлов архива не существует, будет создан!"),
                 0);
    if (CreateDirectoryA(archives.c_str(), nullptr))
      WriteWorkLog(PickText("Directory ", "Каталог ") + archives + " " + PickText(" is created.", " создан."), 0);
    else {
      // Only logged: the program can work without the archive bank until a backup needs it.
      WriteWorkLog(MsgCannotCreateDir + archives + " " + PickText("error ", "ошибка ") +
                       ui::SystemErrorText(GetLastError()),
                   0);
      ShowModeStatus();
    }
  }
  // The newest backup set is the base of the scheduler's period.
  LastBackupStamp = 0;
  for (const FoundEntry& e : FindEntries(CopiesDir + "\\BU*.*")) LastBackupStamp = std::max(LastBackupStamp, e.stamp);

  f.Button3.SetEnabled(false);
  ShowRecoveryControls(false);
  f.ComboBox1.SetEnabled(false);
  // The SID that names the instance to back up comes from kantrix.ini alone.
  ServerSid = ReadConfigValue("kantrix.ini", "SERVER_SID");
  f.TrayIcon1.SetHint(ServerSid + PickText(" - BackUp mode, waiting for BackUp time",
                                           " - BackUp mode, ожидание времени BACKUP"));
  return true;
}

// Recovery mode's settings from dariro.ini and the backup sets; false when the program must end.
bool PrepareRecoveryMode(TMF& f) {
  f.StatusBar1.SetPanelText(
      PickText("RECOVERY mode - click BEGIN Recovery", "Режим RECOVERY mode - нажмите кнопку Recovery"));
  f.TrayIcon1.SetIconIndex(0);
  if (!ReadRequired("dariro.ini", "USER_NAME", " DARIRO.INI!\n", UserName)) return false;
  if (!ReadRequired("dariro.ini", "USER_PASS", " DARIRO.INI!\n", UserPass)) return false;
  // The backup recorded what the instance used; the Oracle home may have changed since.
  ServerSid = ReadConfigValue("dariro.ini", "SERVER_SID");
  ServerName = ReadConfigValue("dariro.ini", "CONNECT_STR");
  SpfileOraPath = ReadConfigValue("dariro.ini", "SPFILE_ORA");
  InitOraPath = ReadConfigValue("dariro.ini", "INIT_ORA");
  if (InitOraPath.empty() && SpfileOraPath.empty()) {
    NoParameterFile();
    return false;
  }
  BackupSetList = std::make_unique<StringList>();
  for (const FoundEntry& e : FindEntries("BU*.*")) BackupSetList->push_back(e.name);
  if (BackupSetList->empty()) {
    WriteWorkLog(PickText("There are no Off-Line copies of Oracle Server in this directory!",
                          "Нет файлов BACKUP Oracle в данном каталоге!"),
                 1);
    f.Button3.SetEnabled(false);
    ShowRecoveryControls(false);
  } else {
    // Set names are dated, so the greatest name is the newest set; it is offered first.
    std::sort(BackupSetList->begin(), BackupSetList->end());
    f.ComboBox1.Clear();
    for (auto it = BackupSetList->rbegin(); it != BackupSetList->rend(); ++it) f.ComboBox1.AddItem(*it);
    f.ComboBox1.SetFocus();
    f.ComboBox1.SetItemIndex(0);
    SelectedBackupDir = BackupSetList->back();
  }
  f.Button6.SetEnabled(false);
  f.Button1.SetEnabled(false);
  f.TrayIcon1.SetHint(ServerSid + PickText(" - recovery mode", " - режим recovery"));
  return true;
}

}  // namespace


int DriveNumber(char letter) {
  if (letter >= 'A' && letter <= 'Z') return letter - 'A' + 1;
  if (letter >= 'a' && letter <= 'z') return letter - 'a' + 1;
  return -1;
}

int64_t DriveFreeSpace(int driveNumber) {
  if (driveNumber < 1 || driveNumber > 26) return -1;
  const char root[] = {static_cast<char>('A' + driveNumber - 1), ':', '\\', '\0'};
  ULARGE_INTEGER free;
  if (!GetDiskFreeSpaceExA(root, &free, nullptr, nullptr)) return -1;
  return static_cast<int64_t>(free.QuadPart);
}

int32_t PackLocalTime(const SYSTEMTIME& local) {
  FILETIME ft;
  if (!SystemTimeToFileTime(&local, &ft)) return 0;
  WORD date = 0, time = 0;
  // The packed year has room up to 2107, but stamps are only kept up to 2099.
  if (local.wYear >= 2100 || !FileTimeToDosDateTime(&ft, &date, &time)) return 0;
  return static_cast<int32_t>((static_cast<uint32_t>(date) << 16) | time);
}

int32_t PackFileTime(const FILETIME& utc) {
  FILETIME local;
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return 0;
  return PackLocalTime(st);
}

void TMF::FormActivate() {
  // Every activation arrives here, also the one after each message box of the sequence.
  if (Activated) return;
  Activated = true;

  // 1-2. The running Oracle services.
  OracleServiceList = std::make_unique<StringList>();
  LanguageCode.clear();
  const int services = EnumerateActiveServices();
  if (services < 0) {
    Button2.SetEnabled(false);
    return;
  }
  const ENUM_SERVICE_STATUSA* records = ActiveServiceRecords();
  for (int i = 0; i < services; ++i) {
    const std::string name = records[i].lpServiceName;
    if (name.find("TNSListener") != std::string::npos) OracleServiceList->push_back(name);
    if (name.find("OracleStart") != std::string::npos) OracleServiceList->push_back(name);
    if (name.find("OracleService") != std::string::npos) {
      ComboBox1.AddItem(name.size() > 13 ? name.substr(13) : "");
      OracleServiceList->push_back(name);
    }
  }
  VersionClass = 3;

  // 4-7. Mode and language.
  if (FileExists("kantrix.ini")) {
    RecoveryMode = false;
    LanguageCode = ReadConfigValue("kantrix.ini", "LANG");
  } else {
    LanguageCode = ReadConfigValue("kantrix.in_", "LANG").substr(0, 1);
    if (!FileExists("dariro.ini")) {
      WriteWorkLog("No configuration files. Processing is impossible!", 2);
      ui::app::Terminate();
      return;
    }
    RecoveryMode = true;
  }
  LanguageCode = LanguageCode.empty() ? "E" : LanguageCode.substr(0, 1);
  const bool russian = LanguageCode == "R";
  Form.SetCaption(russian ? "ORACLE Утилита резервного копирования и восстановления (8, 8i, 9i) 04.04.2003"
                          : "RIVIDI VUZUDI DOV ERURAVAR Uzevuru (8, 8i, 9i) 04.04.2003");
  SetMessageFragments(russian);
  DefaultCopiesNumber = 4;

  // 8-10. The first lines of the run, the status text and the captions.
  WriteWorkLog("", 0);
  WriteWorkLog(PickText("Beginning of the work", "Начало работы"), 0);
  WriteWorkLog(RecoveryMode ? PickText("RECOVERY mode ", "Режим RECOVERY") : PickText("BACKUP mode ", "Режим BACKUP"),
               0);
  StatusBar1.SetPanelText(PickText("BACKUP mode - press BEGIN to BACKUP", "Режим BACKUP - нажмите кнопку BACKUP "));
  SetCaptions(*this, russian);

  // 11-15. The Oracle environment.
  std::string registryError;
  switch (ReadOracleHome(registryError)) {
    case -1:
      ui::ShowMessage(PickText("There is no value ORACLE_HOME in Registry! Processing is impossible!",
                               "Нет значения ORACLE_HOME в регистрах!" + MsgProcessingImpossible));
      ui::app::Terminate();
      return;
    case -2:
      ui::ShowMessage(registryError);
      return;
    case 1:
      VersionClass = ReleaseClass(OracleHome);
      break;
  }
  ServerSid = ReadConfigValue("kantrix.ini", "SERVER_SID");
  if (ServerSid.empty()) ServerSid = ReadConfigValue("dariro.ini", "SERVER_SID");
  OracleVersionText = ReadConfigValue("kantrix.ini", "ORACLE_VERSION");
  if (OracleVersionText.empty()) OracleVersionText = ReadConfigValue("kantrix.in_", "ORACLE_VERSION");
  if (CheckNlsLang() != 0)
    WriteWorkLog(PickText("Some unexpected problem with registry... Check ORACLE\\HOME0\\NLS_LANG parameter - it "
                          "should be AMERICAN_AMERICA.CL8MSWIN1251",
                          "Не удалось изменить значени в регистрах - проверьте параметр  ORACLE\\HOME0\\NLS_LANG - "
                          "он должен быть равен AMERICAN_AMERICA.CL8MSWIN1251"),
                 0);
  FindParameterFiles();

  // 16-17. The mode's own settings.
  if (!(RecoveryMode ? PrepareRecoveryMode(*this) : PrepareBackupMode(*this))) {
    ui::app::Terminate();
    return;
  }

  // 18-22. Release, free space, the SID and the tool's command line.
  WriteWorkLog(ReleaseLine(), 0);
  const std::string& spacePath = !RecoveryMode ? CopiesDir : !InitOraPath.empty() ? InitOraPath : SpfileOraPath;
  FreeSpace = DriveFreeSpace(DriveNumber(spacePath.empty() ? '\0' : spacePath[0]));
  Label8.SetText(FormatByteCount(FreeSpace));
  Label4.SetText("");
  Button4.SetText(Button4.Text() + ServerSid);
  WriteWorkLog("Oracle SID: " + ServerSid, 0);
  BuildToolCommand();
  StartupComplete = true;
}

void TMF::ComboBox1Change() {
  // Text typed into the edit field that names no set leaves the choice as it was.
  const int i = ComboBox1.ItemIndex();
  if (i >= 0) SelectedBackupDir = ComboBox1.Item(i);
}
