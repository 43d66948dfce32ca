// The process-wide settings of the program: filled by the start-up sequence, read and
// updated by every operation. Texts are Windows-1251 bytes; an empty text means "not set".
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using StringList = std::vector<std::string>;
// A list that exists only while a run needs it; null means absent.
using OwnedList = std::unique_ptr<StringList>;

extern std::string LanguageCode;
extern std::string MsgCannotCreateFile, MsgCannotCreateDir, MsgProcessingImpossible, MsgCopying,
    MsgTo, MsgIsOk, MsgFailedErrorNumber;
extern int64_t RequiredSpace;
extern int64_t FreeSpace;
extern bool BusyFlag;
extern bool InvalidRedoFound;
extern std::string CopiesDir;
extern std::string SelectedBackupDir;
extern std::string ArchiveBankDir;
extern int32_t CopiesNumber;
extern int32_t DefaultCopiesNumber;
extern int32_t LastBackupStamp;  // MS-DOS packed local date-time; 0 = no backup known
extern bool RecoveryMode;
extern int32_t VersionClass;  // 0 = 8.1, 1 = 8.0, 2 = 9i, 3 = not determined
extern std::string UserName, UserPass;
extern std::string ServerName;
extern std::string OracleHome;
extern std::string ServerSid;
extern std::string InitOraPath;
extern std::string SpfileOraPath;
extern std::string ToolProgram, ToolCommandLine, ToolScriptArgument;
extern std::string OracleVersionText;
extern const std::string OracleRegistryKey;
extern OwnedList OracleServiceList;
// In recovery mode the backup sets found at start-up; a backup run uses the same list
// as its DataFileList.
extern OwnedList BackupSetList;
extern OwnedList& DataFileList;
extern OwnedList ControlFileList, RedoMemberList, RedoPairList, ArchiveDestList, ArchivedLogList,
    ArchiveBankFileList, RedoStatusList;
constexpr size_t ServiceStatusBufferSize = 147456;
// Receives the service enumeration; grows when the services do not fit.
extern std::vector<unsigned char> ServiceStatusBuffer;
// Set at the end of the start-up sequence; the scheduler starts nothing before it.
extern bool StartupComplete;
