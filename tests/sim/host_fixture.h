// What the host and tool tests share: running Windows programs of the prefix and reading files.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace simtest {

// Runs a command line in `dir` ("" = the current one), waiting up to `seconds`; the exit code,
// or -1 when it could not start or did not end (it is then killed).
int Run(const std::string& commandLine, const std::string& dir = "", int seconds = 120);
// simctl with the given arguments.
int Simctl(const std::string& args);
std::vector<std::string> ReadLines(const std::string& path);  // without line ends
std::string ReadAll(const std::string& path);
bool Exists(const std::string& path);
DWORD ServiceStateOf(const std::string& name);
// "net stop|start SERVICE"; a stop also waits until the service reports itself stopped, which
// under Wine comes a moment after "net stop" returns.
int Net(const std::string& verb, const std::string& service);
std::string RegistryValue(const std::string& key, const std::string& name);

}  // namespace simtest
