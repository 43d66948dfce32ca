// The daily work log: one file per local day in the working directory, mirrored in Memo1.
#include <cstdio>

#include "app/globals.h"
#include "log/log.h"
#include "platform/clock.h"
#include "platform/msgbox.h"

static std::string TwoDigits(int v) {
  char b[8];
  snprintf(b, sizeof b, "%02d", v % 100);
  return b;
}

std::string WorkLogFileName(const SYSTEMTIME& d) {
  return "ou" + TwoDigits(d.wDay) + TwoDigits(d.wMonth) + TwoDigits(d.wYear) + ".log";
}

void (*LogView)(const std::string& line) = nullptr;

void AddLogViewLine(const std::string& line) {
  if (LogView) LogView(line);
}

void WriteWorkLog(const std::string& text, int kind) {
  SYSTEMTIME now = ui::LocalNow();
  std::string name = WorkLogFileName(now);
  // Opened and closed at every entry, so the viewer can read the file at any time.
  FILE* f = fopen(name.c_str(), "at");
  if (!f) {
    std::string date = TwoDigits(now.wDay) + "." + TwoDigits(now.wMonth) + "." + TwoDigits(now.wYear);
    ui::ShowMessage(MsgCannotCreateFile + name.substr(2) + "\nCurrent date is " + date +
                    "\nName file is " + name);
    return;
  }
  if (text.empty()) {
    fputs("\n", f);
    fclose(f);
    return;
  }
  // Written whole, however long the text is.
  fprintf(f, "%02d/%02d/%2d %2d:%02d:%02d  ", now.wDay, now.wMonth, now.wYear, now.wHour,
          now.wMinute, now.wSecond);
  fputs("  ", f);
  fputs(text.c_str(), f);
  fputs("\n", f);
  AddLogViewLine("  " + text);
  fclose(f);
  if (kind == 1) ui::ShowMessageBox(text, "ERROR!", MB_OK | MB_ICONERROR, nullptr);
  if (kind == 2) ui::ShowMessageBox(text, "WARNING!", MB_OK | MB_ICONWARNING, nullptr);
}
