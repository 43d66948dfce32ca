// What the tests of instance control share: a window for the log view, a fixed clock, the
// settings of a simulated-looking 8.1 host, and the removal of the files at the root of C:.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support.h"

namespace kxtest {

// A fresh working folder, English texts, a fixed clock and ServerSid ORCL.
struct OracleTest : testing::Test {
  TempDir dir;
  BoxRecorder boxes;
  void SetUp() override;
  void TearDown() override;
  // The log view lines added since SetUp.
  std::vector<std::string> NewViewLines() const;
  size_t viewLinesBefore = 0;
};

// The work log entries from the first one equal to `first` on.
std::vector<std::string> WorkLogFrom(const std::string& first);
// cmd.exe of the prefix, the stand-in tool of these tests.
std::string CommandInterpreter();

}  // namespace kxtest
