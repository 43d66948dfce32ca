// Oracle's command-line tool: its command line, the script runs and the copy of their output.
#include <cstdio>
#include <cstring>
#include "app/data_module.h"
#include "app/globals.h"
#include "log/log.h"
#include "oracle/oracle.h"
#include "platform/clock.h"
#include "platform/waits.h"

namespace {

// The SQL*Plus command line of releases 8.1 and 9i with the given password text.
std::string SqlPlusCommandLine(const std::string& password) {
  return ToolProgram + " \"sys/" + password + "@" + ServerName + " as sysdba\"";
}

}  // namespace

bool WriteLineFile(const std::string& path, const std::vector<std::string>& lines) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  for (const std::string& line : lines) {
    std::fputs(line.c_str(), f);
    std::fputc('\n', f);
  }
  std::fclose(f);
  return true;
}

std::string ScriptFileName() { return "c:\\s" + ServerSid + ".sql"; }

std::string SpoolFileName() { return "svr" + ServerSid + ".log"; }

void BuildToolCommand() {
  std::string logged;
  if (VersionClass == 1) {
    // Server Manager takes no logon on its command line: a batch names the instance and the
    // script connects itself.
    ToolProgram = OracleHome + "\\BIN\\svrmgr30.exe @" + ScriptFileName();
    ToolScriptArgument.clear();
    const std::string batch = "c:\\svr" + ServerSid + ".bat";
    ToolCommandLine = batch;
    FILE* f = std::fopen(batch.c_str(), "w");
    if (!f) {
      WriteWorkLog("It's impossible to create file " + batch + ".  Processing is not possible!", 1);
      return;
    }
    std::fputs(("SET %ORACLE_SID=" + ServerSid + "\n").c_str(), f);
    std::fputs(ToolProgram.c_str(), f);
    std::fclose(f);
    ToolProgram = batch;
    logged = ToolCommandLine;
  } else {
    ToolProgram = OracleHome + "\\BIN\\sqlplusw.exe";
    ToolCommandLine = SqlPlusCommandLine(UserPass);
    ToolScriptArgument = " @" + ScriptFileName();
    // The work log is a plain-text file anyone may read: it never gets the SYSDBA password.
    logged = SqlPlusCommandLine(std::string(8, '*'));
  }
  WriteWorkLog("------Command String -------------", 0);
  WriteWorkLog(logged, 0);
  WriteWorkLog("----------------------------------", 0);
}

ProcessOutcome RunShownProcess(const char* program, const std::string& commandLine, DWORD waitMs) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(program, line.data(), nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP,
                      nullptr, nullptr, &si, &pi))
    return ProcessOutcome::NotStarted;
  CloseHandle(pi.hThread);
  const DWORD waited = WaitForSingleObject(pi.hProcess, waitMs);
  CloseHandle(pi.hProcess);
  return waited == WAIT_OBJECT_0 ? ProcessOutcome::Ended : ProcessOutcome::StillRunning;
}

int RunToolScript(const std::vector<std::string>& body, ScriptVariant variant) {
  const std::string script = ScriptFileName();
  std::vector<std::string> lines = {"spool off;"};
  // Release 8.0's tool starts without a logon, so the script connects before it spools.
  if (VersionClass == 1) lines.push_back("connect " + UserName + "/" + UserPass + "@" + ServerName + ";");
  lines.push_back("spool " + SpoolFileName() + ";");
  lines.insert(lines.end(), body.begin(), body.end());
  lines.push_back("exit;");
  if (!WriteLineFile(script, lines)) {
    std::string text = "It's impossible to create file " + script;
    if (variant != ScriptVariant::LogSwitch) text += ".  Processing is not possible!";
    WriteWorkLog(text, 1);
    return -1;
  }

  WriteWorkLog("---------- Run " + script + " ---------", 0);
  AppendSpoolToWorkLog(script);
  WriteWorkLog("------------- Results ------------", 0);
  // A shutdown waits for every session to end, ours included.
  if (variant == ScriptVariant::Shutdown) DM->DB.Close();

  const std::string command = ToolCommandLine + ToolScriptArgument;
  // The tool is judged from its spool file afterwards, so a tool that outlives the wait is
  // left running and the run goes on with what the spool holds by then.
  if (RunShownProcess(ToolProgram.c_str(), command, ui::Waits.toolMs) == ProcessOutcome::NotStarted) {
    if (variant == ScriptVariant::Shutdown)
      WriteWorkLog("It's impossible to run " + ToolProgram + "  to shutdown database!", 1);
    else
      WriteWorkLog("It's impossible to run " + ToolProgram + " to startup and open database!", 1);
    return -2;
  }
  if (variant == ScriptVariant::LogSwitch) DeleteFileA(script.c_str());
  AppendSpoolToWorkLog(SpoolFileName());
  WriteWorkLog("------------ End -----------------", 0);
  return 0;
}

void AppendSpoolToWorkLog(const std::string& path) {
  FILE* in = std::fopen(path.c_str(), "r");
  if (!in) return;
  // The file WriteWorkLog writes to at this moment, so the lines stand between its banners.
  FILE* out = std::fopen(WorkLogFileName(ui::LocalNow()).c_str(), "a");
  if (!out) {
    std::fclose(in);
    return;
  }
  char piece[500];
  while (std::fgets(piece, sizeof piece, in)) {
    std::fputs(piece, out);
    size_t n = std::strlen(piece);
    if (n && piece[n - 1] == '\n') --n;
    if (n && piece[n - 1] == '\r') --n;
    AddLogViewLine(std::string(piece, n));
  }
  std::fclose(in);
  std::fclose(out);
}
