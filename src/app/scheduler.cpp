// The backup scheduler: at every tick of Timer1, decides from kantrix.ini whether a backup is due.
#include <cctype>
#include "app/globals.h"
#include "app/main_form.h"
#include "backup/backup.h"
#include "config/config.h"
#include "platform/clock.h"
#include "platform/msgbox.h"

namespace {

// The TIME_PERIOD text reported last: a wrong value is reported once per change, so ticks
// delivered while its box is open open no second one.
std::string ReportedPeriodText;
bool PeriodReported = false;

// A whole number as the platform's conversion takes it: leading blanks, a sign, digits and
// nothing after them, within 32 bits.
bool ToWholeNumber(const std::string& text, int32_t& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    v = v * 10 + (text[i] - '0');
    if (v > int64_t(INT32_MAX) + (negative ? 1 : 0)) return false;
  }
  value = static_cast<int32_t>(negative ? -v : v);
  return true;
}

// LastBackupStamp + (period * unit) / 2, added to the packed value itself in signed 32-bit
// arithmetic that wraps; a day's half-unit therefore moves the packed date, not a second count.
int32_t PeriodEnd(int32_t period, int32_t unit) {
  const int32_t product = static_cast<int32_t>(static_cast<uint32_t>(period) * static_cast<uint32_t>(unit));
  return static_cast<int32_t>(static_cast<uint32_t>(LastBackupStamp) + static_cast<uint32_t>(product / 2));
}

std::string TimeText(const SYSTEMTIME& now) {
  char text[64] = {};
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &now, nullptr, text, sizeof text);
  return text;
}

}  // namespace

void TMF::Timer1Timer() {
  // A tick delivered by a message box of the start-up sequence would find half the settings.
  if (!StartupComplete) return;
  const std::string debug = ReadConfigValue("kantrix.ini", "DEBUG");
  if (debug == "REQUEST") return;
  if (RecoveryMode || BusyFlag) return;
  const SYSTEMTIME clock = ui::LocalNow();
  const int32_t now = PackLocalTime(clock);

  const std::string periodText = ReadConfigValue("kantrix.ini", "TIME_PERIOD");
  int32_t period = 0;
  if (!ToWholeNumber(periodText, period)) {
    if (PeriodReported && periodText == ReportedPeriodText) return;
    PeriodReported = true;
    ReportedPeriodText = periodText;
    ui::ShowMessage("'" + periodText + "' is not a valid integer value");
    return;
  }
  PeriodReported = false;

  if (debug == "YES") {
    if (PeriodEnd(period, 60) < now) RunBackup();
    return;
  }
  if (PeriodEnd(period, 86400) >= now) return;
  // The time of day is compared by its first four characters, so 9:05 matches the whole
  // minute and 23:35 the ten minutes from 23:30.
  const std::string time = TimeText(clock);
  std::string backupAt = ReadConfigValue("kantrix.ini", "TIME_BACKUP");
  if (!backupAt.empty() && backupAt[0] == '0') backupAt.erase(0, 1);
  if (!backupAt.empty() && backupAt.substr(0, 4) == time.substr(0, 4)) RunBackup();
}
