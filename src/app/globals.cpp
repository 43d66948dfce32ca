#include "app/globals.h"

std::string LanguageCode;
std::string MsgCannotCreateFile, MsgCannotCreateDir, MsgProcessingImpossible, MsgCopying, MsgTo,
    MsgIsOk, MsgFailedErrorNumber;
int64_t RequiredSpace = 0;
int64_t FreeSpace = 0;
bool BusyFlag = false;
bool InvalidRedoFound = false;
std::string CopiesDir;
std::string SelectedBackupDir;
std::string ArchiveBankDir;
int32_t CopiesNumber = 0;
int32_t DefaultCopiesNumber = 0;
int32_t LastBackupStamp = 0;
bool RecoveryMode = false;
int32_t VersionClass = 0;
std::string UserName, UserPass;
std::string ServerName;
std::string OracleHome;
std::string ServerSid;
std::string InitOraPath;
std::string SpfileOraPath;
std::string ToolProgram, ToolCommandLine, ToolScriptArgument;
std::string OracleVersionText;
const std::string OracleRegistryKey = "\\software\\oracle";
OwnedList OracleServiceList;
OwnedList BackupSetList;
OwnedList& DataFileList = BackupSetList;
OwnedList ControlFileList, RedoMemberList, RedoPairList, ArchiveDestList, ArchivedLogList,
    ArchiveBankFileList, RedoStatusList;
std::vector<unsigned char> ServiceStatusBuffer(ServiceStatusBufferSize);
bool StartupComplete = false;
