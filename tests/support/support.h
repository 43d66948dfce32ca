// Helpers of the test programs. Link kx_test_support and no gtest_main: it has main().
#pragma once
#include <deque>
#include <string>
#include <vector>
#include <windows.h>

#include "platform/msgbox.h"

namespace kxtest {

// A fresh folder under the Windows temporary folder, made the current directory; removed with
// everything in it at the end, and the previous directory restored.
struct TempDir {
  std::string path, previous;
  TempDir();
  ~TempDir();
  std::string operator/(const std::string& name) const { return path + "\\" + name; }
};

// Records every message box and answers it from a queue (IDOK when empty).
struct BoxRecorder {
  std::vector<ui::MessageBoxCall> calls;
  std::deque<int> answers;
  BoxRecorder();
  ~BoxRecorder();
};

SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second);
// Sets the program's clock to a fixed time (until the next call or ResetClock).
void SetFixedClock(const SYSTEMTIME& t);
void ResetClock();

// The entries of today's work log in the current directory, without their time stamps;
// empty lines as empty texts, continuation lines of a multi-line entry as they stand.
std::vector<std::string> WorkLogTexts();

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
void RemoveTree(const std::string& path);

}  // namespace kxtest
