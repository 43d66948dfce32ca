// simctl's commands. Each takes the command's options (name -> value; a flag has "") and
// returns the process exit code, printing what went wrong.
#pragma once
#include <map>
#include <string>

typedef std::map<std::string, std::string> Options;

int SetupHost(const Options& opt);     // setup: a complete host for a release, instance open
int TeardownHost(const Options& opt);  // teardown: services stopped and deleted, files removed
int RunWorkload(const Options& opt);   // workload: commits numbered rows
int DumpRows(const Options& opt);      // dump: the rows the open database sees
int SetFault(const Options& opt);      // fault: inject or clear a fault

// services.cpp
// Registers a service of simsvc.exe (replacing one of the same name), auto start.
bool CreateHostService(const std::string& name, const std::string& commandLine);
// Starts a service and waits until it runs.
bool StartHostService(const std::string& name);
// Stops and deletes every service whose program is simsvc.exe.
void DeleteHostServices();

// The Oracle home of the host (ORACLE_HOME under HKLM\SOFTWARE\ORACLE), or --home.
std::string HostHome(const Options& opt);
