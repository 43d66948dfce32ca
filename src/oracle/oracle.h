// Oracle instance control: the command line of Oracle's tool, script runs judged from the
// spool file, the instance scripts, and the Windows services of the Oracle home.
#pragma once
#include <string>
#include <vector>
#include <windows.h>
#include <winsvc.h>

// Which script a run carries; it picks the failure texts and the extra steps of the run.
enum class ScriptVariant { Shutdown, Startup, LogSwitch };

// What became of a child process started by RunShownProcess.
enum class ProcessOutcome { NotStarted, Ended, StillRunning };

// Sets ToolProgram, ToolCommandLine and ToolScriptArgument for VersionClass and logs the line.
void BuildToolCommand();
// Writes "c:\s" + SID + ".sql" around the body, runs the tool on it and copies its spool into
// the work log: 0 the tool ran, -1 no script file, -2 the tool cannot be started.
int RunToolScript(const std::vector<std::string>& body, ScriptVariant variant);
// Copies the lines of a text file unchanged into today's work log and into the log view.
void AppendSpoolToWorkLog(const std::string& path);
// Writes a text file of lines anew, each ended by a line end; false when it cannot be created.
bool WriteLineFile(const std::string& path, const std::vector<std::string>& lines);
// Starts a program in its own shown window and waits for it at most waitMs milliseconds.
ProcessOutcome RunShownProcess(const char* program, const std::string& commandLine, DWORD waitMs);
// "c:\s" + SID + ".sql" and "svr" + SID + ".log".
std::string ScriptFileName();
std::string SpoolFileName();

// "shutdown <mode>;" ("normal" when mode is empty); closes the session DB first.
int RunShutdownScript(const std::string& mode);
// "startup <mode>;", or for "mount" the complete or point-in-time recovery sequence.
int RunStartupScript(const std::string& mode, const std::string& time);
// `count` log switches; the script file is deleted after the run.
int RunSwitchLogfileScript(int count);
// Number of lines of the spool file equal to text, letter case ignored, line feed included.
int SpoolLogContains(const std::string& text);

// Opens the service manager and fills ServiceStatusBuffer with the active Win32 services:
// their number, or -1 after writing the error (manager not opened, list not read).
int EnumerateActiveServices();
// The records EnumerateActiveServices left in ServiceStatusBuffer.
const ENUM_SERVICE_STATUSA* ActiveServiceRecords();
// "SERVICE_STOPPED" .. "SERVICE_PAUSED" for the platform's state codes 1 to 7, else empty.
std::string ServiceStateName(DWORD state);
// Sets the database service and the listener of OracleServiceList to start automatically.
void EnsureServicesAutoStart();
// Stops and starts the database services through the batch "c:\so" + SID + ".bat".
void RestartServicesBatch();
