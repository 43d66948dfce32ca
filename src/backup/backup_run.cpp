// The backup run.
#include "app/globals.h"
#include "app/main_form.h"
#include "backup/backup.h"
#include "log/log.h"

void RunBackup() {
  // 1. Busy state: the window takes no other operation and the scheduler starts nothing more.
  for (OwnedList* l : {&DataFileList, &ControlFileList, &RedoMemberList, &RedoPairList, &ArchiveDestList,
                       &ArchivedLogList, &ArchiveBankFileList, &RedoStatusList})
    *l = std::make_unique<StringList>();
  for (ui::Button* b : {&MF->Button1, &MF->Button2, &MF->Button3, &MF->Button4, &MF->Button5, &MF->Button7,
                        &MF->Button6})
    b->SetEnabled(false);
  BusyFlag = true;
  ShowRecoveryControls(false);
  MF->TrayIcon1.SetIconIndex(1);
  MF->TrayIcon1.SetHint(ServerSid + PickText(" - BackUp mode", " - режим BackUp "));
  MF->Form.Repaint();

  // The inventory of the database's files and the steps after it are not built yet: the
  // window goes back to idle with the instance untouched.
  ShowModeStatus();
}
