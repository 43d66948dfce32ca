#include "support.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "log/log.h"
#include "platform/clock.h"
#include "platform/gui.h"
#include "platform/text.h"

namespace kxtest {

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string n = fd.cFileName;
      if (n == "." || n == "..") continue;
      std::string p = path + "\\" + n;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(p);
      } else {
        SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(p.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(path.c_str());
}

TempDir::TempDir() {
  char base[MAX_PATH], cwd[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  GetCurrentDirectoryA(MAX_PATH, cwd);
  previous = cwd;
  static int counter = 0;
  for (;;) {
    path = std::string(base) + "kx" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    if (CreateDirectoryA(path.c_str(), nullptr)) break;
  }
  SetCurrentDirectoryA(path.c_str());
}

TempDir::~TempDir() {
  SetCurrentDirectoryA(previous.c_str());
  RemoveTree(path);
}

BoxRecorder::BoxRecorder() {
  ui::SetMessageBoxResponder([this](const ui::MessageBoxCall& c) {
    calls.push_back(c);
    if (answers.empty()) return IDOK;
    int a = answers.front();
    answers.pop_front();
    return a;
  });
}
BoxRecorder::~BoxRecorder() { ui::SetMessageBoxResponder(nullptr); }

SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second) {
  SYSTEMTIME t = {};
  t.wYear = year;
  t.wMonth = month;
  t.wDay = day;
  t.wHour = hour;
  t.wMinute = minute;
  t.wSecond = second;
  return t;
}

void SetFixedClock(const SYSTEMTIME& t) {
  ui::SetClock([t] { return t; });
}
void ResetClock() { ui::SetClock(nullptr); }

std::string ReadFileBytes(const std::string& path) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return {};
  std::string s;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
  fclose(f);
  return s;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

std::vector<std::string> WorkLogTexts() {
  std::string all = ReadFileBytes(WorkLogFileName(ui::LocalNow()));
  std::vector<std::string> lines;
  size_t start = 0, p;
  while ((p = all.find("\r\n", start)) != std::string::npos) {
    std::string line = all.substr(start, p - start);
    // "dd/mm/yyyy hh:mm:ss    " stamps every entry.
    if (line.size() >= 23 && line[2] == '/' && line[5] == '/' && line.substr(19, 4) == "    ")
      line = line.substr(23);
    lines.push_back(line);
    start = p + 2;
  }
  return lines;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace kxtest

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  ui::app::Initialize();
  return RUN_ALL_TESTS();
}
