// Stand-in services registered in the Wine prefix under the names of an Oracle home's
// services, and what a test reads back from the service manager about them.
#pragma once
#include <string>
#include <vector>
#include <windows.h>

namespace kxtest {

// A path of the build tree (Unix) as Windows programs in the prefix name it.
std::string WindowsPath(std::string unixPath);

// Runs the simulated host's setup command (simctl) with the arguments; true when it ended.
bool Simctl(const std::string& args);

struct ServiceNow {
  DWORD state = 0, processId = 0, startType = 0;
};
ServiceNow QueryService(const std::string& name);
// Waits up to ten seconds for the state.
bool WaitForState(const std::string& name, DWORD state);

// Created and started for one test, stopped and deleted after it. With the argument
// " slow-stop" the service takes four seconds to answer a stop request.
struct StandInServices {
  std::vector<std::string> names;
  explicit StandInServices(std::vector<std::string> n, DWORD startType = SERVICE_DEMAND_START,
                           const char* argument = "");
  ~StandInServices();
};

}  // namespace kxtest
