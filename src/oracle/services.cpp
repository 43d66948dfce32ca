// The Windows services of the Oracle home: listing, start type, and the restart batch.
#include "app/globals.h"
#include "app/main_form.h"
#include "log/log.h"
#include "oracle/oracle.h"
#include "platform/msgbox.h"
#include "platform/scoped.h"
#include "platform/waits.h"

namespace {

// The last entry of OracleServiceList that contains every one of the given texts.
std::string LastServiceNamed(const std::string& a, const std::string& b) {
  std::string found;
  if (!OracleServiceList) return found;
  for (const std::string& name : *OracleServiceList)
    if (name.find(a) != std::string::npos && name.find(b) != std::string::npos) found = name;
  return found;
}

// Sets one service to start automatically; false ends EnsureServicesAutoStart.
bool SetAutoStart(SC_HANDLE manager, const std::string& name) {
  ui::AutoScHandle service(OpenServiceA(manager, name.c_str(), SERVICE_ALL_ACCESS));
  if (!service.Ok()) {
    WriteWorkLog(PickText("Can not open service " + name + " to change StartType as SERVICE_AUTO_START",
                          "Не могу открыть сервис " + name + " для смены StartType как SERVICE_AUTO_START"),
                 0);
    return false;
  }
  // The size of the record is known only after a first call that is too small for it.
  std::vector<unsigned char> config(4);
  DWORD needed = 0;
  bool read = QueryServiceConfigA(service, reinterpret_cast<QUERY_SERVICE_CONFIGA*>(config.data()),
                                  static_cast<DWORD>(config.size()), &needed);
  if (!read && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    config.resize(needed);
    read = QueryServiceConfigA(service, reinterpret_cast<QUERY_SERVICE_CONFIGA*>(config.data()),
                               static_cast<DWORD>(config.size()), &needed);
  }
  if (!read) {
    WriteWorkLog(PickText("Can not get control information about " + name + " !\nError ",
                          "Не могу запросить контрольную информацию о сервисе " + name + " !\nОшибка ") +
                     std::to_string(GetLastError()),
                 0);
    return false;
  }
  const auto* c = reinterpret_cast<const QUERY_SERVICE_CONFIGA*>(config.data());
  if (c->dwStartType == SERVICE_AUTO_START) {
    WriteWorkLog(PickText("Start Type of " + name + " is ", "Start Type " + name + ", как положено, ") +
                     "SERVICE_AUTO_START",
                 0);
    return true;
  }
  WriteWorkLog(PickText("Start Type of " + name + " is not ", "Start Type " + name + " не является ") +
                   "SERVICE_AUTO_START",
               0);
  // Everything but the start type goes back as it was read.
  if (ChangeServiceConfigA(service, c->dwServiceType, SERVICE_AUTO_START, c->dwErrorControl,
                           c->lpBinaryPathName, c->lpLoadOrderGroup, nullptr, c->lpDependencies,
                           c->lpServiceStartName, nullptr, c->lpDisplayName))
    WriteWorkLog(PickText("Servce " + name + " START TYPE has been changed to SERVICE_AUTO_START",
                          "Режим сервиса " + name + " был благополучно сменен на SERVICE_AUTO_START"),
                 0);
  else
    ui::ShowMessage("Не удалось сменить StartType, ошибка " + std::to_string(GetLastError()));
  return true;
}

}  // namespace

int EnumerateActiveServices() {
  ui::AutoScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager.Ok()) {
    WriteWorkLog("__!!!___Cannot get system services!", 1);
    return -1;
  }
  // A machine with many services needs more room than the usual buffer: grow it and read the
  // whole list again from its start.
  for (;;) {
    DWORD needed = 0, count = 0, resume = 0;
    if (EnumServicesStatusA(manager, SERVICE_WIN32, SERVICE_ACTIVE,
                            reinterpret_cast<ENUM_SERVICE_STATUSA*>(ServiceStatusBuffer.data()),
                            static_cast<DWORD>(ServiceStatusBuffer.size()), &needed, &count, &resume))
      return static_cast<int>(count);
    if (GetLastError() != ERROR_MORE_DATA) break;
    ServiceStatusBuffer.resize(ServiceStatusBuffer.size() * 2 + needed);
  }
  WriteWorkLog("__!!!___Error in reading of system services", 1);
  return -1;
}

const ENUM_SERVICE_STATUSA* ActiveServiceRecords() {
  return reinterpret_cast<const ENUM_SERVICE_STATUSA*>(ServiceStatusBuffer.data());
}

std::string ServiceStateName(DWORD state) {
  static const char* const names[] = {"SERVICE_STOPPED",          "SERVICE_START_PENDING",
                                      "SERVICE_STOP_PENDING",     "SERVICE_RUNNING",
                                      "SERVICE_CONTINUE_PENDING", "SERVICE_PAUSE_PENDING",
                                      "SERVICE_PAUSED"};
  return state >= 1 && state <= 7 ? names[state - 1] : "";
}

void EnsureServicesAutoStart() {
  // From the services running at start-up; of several matching names the last one is taken.
  const std::string database = LastServiceNamed("OracleService", ServerSid);
  const std::string listener = LastServiceNamed("Listener", "");
  ui::AutoScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (SetAutoStart(manager, database)) SetAutoStart(manager, listener);
}

void RestartServicesBatch() {
  const std::string batch = "c:\\so" + ServerSid + ".bat";
  const std::string database = "\"OracleService" + ServerSid + "\"";
  const std::string starter = "\"OracleStart" + ServerSid + "\"";
  // Release 8.0's start service opens the database once the database service runs, so it is
  // stopped first and started last.
  std::vector<std::string> lines;
  if (VersionClass == 1) lines.push_back("net stop " + starter);
  lines.insert(lines.end(), {"net stop " + database, "echo off", " echo Please, wait about 2 minutes, then",
                             " pause", "net start " + database});
  if (VersionClass == 1) lines.push_back("net start " + starter);
  lines.push_back("pause");
  if (!WriteLineFile(batch, lines)) {
    WriteWorkLog("It's impossible to create file " + batch + ".  Processing is not possible!", 1);
    return;
  }

  WriteWorkLog("---------- Run " + batch + "---------", 0);
  AppendSpoolToWorkLog(batch);
  const ProcessOutcome outcome = RunShownProcess(nullptr, batch, ui::Waits.servicesMs);
  if (outcome == ProcessOutcome::NotStarted) {
    WriteWorkLog("It's impossible to run " + batch + " to startup and open database!", 1);
    return;
  }
  // The interpreter reads its batch line by line: while it still waits at a pause the file
  // must stay, or its "net start" lines would never run.
  if (outcome == ProcessOutcome::Ended) DeleteFileA(batch.c_str());
  WriteWorkLog("------------ End -----------------", 0);
}

void TMF::Button4Click() {
  for (ui::Button* b : {&Button2, &Button4, &Button5, &Button6, &Button7}) b->SetEnabled(false);
  const int icon = TrayIcon1.IconIndex();
  TrayIcon1.SetIconIndex(3);
  TrayIcon1.SetHint(ServerSid + PickText(" Oracle Services restarting", " Oracle Services ре-старт"));
  RestartServicesBatch();
  ShowModeControls();
  BusyFlag = false;
  TrayIcon1.SetIconIndex(icon);
}
