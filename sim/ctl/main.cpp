// simctl COMMAND [--name value | --flag]...
#include <cstdio>

#include "ctl.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: simctl setup|teardown|workload|dump|fault [--option value]...\n");
    return 2;
  }
  // Words that are not options are numbered: arg0, arg1...
  Options opt;
  int words = 0;
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (a.compare(0, 2, "--") != 0) {
      opt["arg" + std::to_string(words++)] = a;
      continue;
    }
    bool hasValue = i + 1 < argc && std::string(argv[i + 1]).compare(0, 2, "--") != 0;
    opt[a.substr(2)] = hasValue ? argv[++i] : "";
  }
  std::string cmd = argv[1];
  if (cmd == "setup") return SetupHost(opt);
  if (cmd == "teardown") return TeardownHost(opt);
  if (cmd == "workload") return RunWorkload(opt);
  if (cmd == "dump") return DumpRows(opt);
  if (cmd == "fault") return SetFault(opt);
  fprintf(stderr, "unknown command %s\n", cmd.c_str());
  return 2;
}
