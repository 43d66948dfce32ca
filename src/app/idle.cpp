// The idle state of the window, and the byte counts it shows.
#include "app/globals.h"
#include "app/main_form.h"
#include "log/log.h"

void ShowRecoveryControls(bool on) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&MF->RadioButton1, &MF->RadioButton2, &MF->Edit2,
                                                            &MF->Label3})
    c->SetVisible(on);
}

void ShowModeControls() {
  if (RecoveryMode) {
    MF->Button3.SetEnabled(true);
    ShowRecoveryControls(true);
    MF->Button6.SetEnabled(false);
    MF->TrayIcon1.SetIconIndex(0);
    MF->TrayIcon1.SetHint(ServerSid + PickText(" - Recovery mode", " - режим Recovery "));
  } else {
    MF->Button1.SetEnabled(true);
    MF->Button6.SetEnabled(true);
    ShowRecoveryControls(false);
    MF->TrayIcon1.SetIconIndex(0);
    MF->TrayIcon1.SetHint(ServerSid +
                          PickText(" - BackUp mode, waiting for BackUp time", " - режим BackUp, ожидание времени BACKUP"));
  }
  for (ui::Button* b : {&MF->Button2, &MF->Button4, &MF->Button5, &MF->Button7}) b->SetEnabled(true);
}

void ShowModeStatus() {
  // The lists of the last run; RedoStatusList outlives it.
  for (OwnedList* l : {&BackupSetList, &ControlFileList, &RedoMemberList, &RedoPairList, &ArchiveDestList,
                       &ArchivedLogList, &ArchiveBankFileList})
    l->reset();
  BusyFlag = false;
  ShowModeControls();
}

std::string FormatByteCount(long long count) {
  std::string s = std::to_string(count);
  size_t n = s.size(), k = (n - 1) / 3;
  std::string r = s.substr(0, n - 3 * k);
  for (size_t i = 0; i < k; i++) r += "," + s.substr(n - 3 * k + 3 * i, 3);
  return r;
}
