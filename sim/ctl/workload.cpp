// workload, dump and fault: what a test does to the running simulated instance.
//   simctl workload --rows N [--switch-every K] [--sid ORCL]
//   simctl dump [--sid ORCL]                     one line per row: number and commit time
//   simctl fault NAME VALUE [--sid ORCL]         NAME as in engine.h; VALUE "" clears it
//   simctl fault invalid-member PATH             marks a redo member INVALID
//   simctl fault wrong-password PASSWORD         the password file no longer holds the SYS one
#include <cstdio>
#include <cstdlib>

#include "ctl.h"
#include "engine.h"

namespace {

std::string SidOf(const Options& opt) {
  auto it = opt.find("sid");
  return it != opt.end() ? sim::Upper(it->second) : sim::LocalSid();
}

}  // namespace

int RunWorkload(const Options& opt) {
  std::string home = HostHome(opt), sid = SidOf(opt);
  auto rows = opt.find("rows"), every = opt.find("switch-every");
  long long last = 0;
  std::string err = sim::CommitRows(home, sid, rows == opt.end() ? 1 : atoi(rows->second.c_str()),
                                    every == opt.end() ? 0 : atoi(every->second.c_str()), last);
  if (!err.empty()) {
    printf("%s\n", err.c_str());
    return 1;
  }
  printf("last row %lld\n", last);
  return 0;
}

int DumpRows(const Options& opt) {
  std::vector<sim::Row> rows;
  std::string err = sim::ListRows(HostHome(opt), SidOf(opt), rows);
  if (!err.empty()) {
    printf("%s\n", err.c_str());
    return 1;
  }
  for (const auto& r : rows) printf("%lld %s\n", r.number, r.time.c_str());
  return 0;
}

int SetFault(const Options& opt) {
  std::string home = HostHome(opt), sid = SidOf(opt);
  auto a = opt.find("arg0"), b = opt.find("arg1");
  if (a == opt.end()) {
    fprintf(stderr, "simctl fault NAME [VALUE]\n");
    return 2;
  }
  std::string name = a->second, value = b == opt.end() ? "" : b->second;
  if (name == "wrong-password") return sim::WritePasswordFile(home, sid, value) ? 0 : 1;
  sim::HostLock lock(sid);
  if (name == "invalid-member") {
    auto paths = sim::ControlFilePaths(sim::ReadParameters(home, sid));
    sim::ControlFile cf;
    if (paths.empty() || !sim::ReadControlFile(paths[0], cf)) return 1;
    bool found = false;
    for (auto& g : cf.groups)
      for (auto& m : g.members)
        if (sim::Upper(m.path) == sim::Upper(value)) m.status = "INVALID", found = true;
    std::string text = sim::FormatControlFile(cf);
    for (const auto& p : paths) sim::WritePaddedFile(p, text, 256 * 1024);
    return found ? 0 : 1;
  }
  sim::HostState st;
  if (!sim::LoadHostState(home, sid, st)) return 1;
  if (value.empty()) st.faults.erase(name);
  else st.faults[name] = value;
  return sim::SaveHostState(home, sid, st) ? 0 : 1;
}
