// The main window: its controls at their design places, and the handlers of this unit.
#include "app/main_form.h"

#include <commctrl.h>

#include "app/globals.h"
#include "backup/backup.h"
#include "log/log.h"
#include "platform/msgbox.h"

TMF* MF = nullptr;

namespace {
enum ControlId {
  IdButton1 = 101, IdButton2, IdMemo1, IdStatusBar1, IdLabel5, IdLabel6, IdLabel7, IdEdit1,
  IdButton3, IdButton4, IdComboBox1, IdButton5, IdGauge1, IdButton6, IdBevel1, IdLabel1, IdLabel2,
  IdRadioButton1, IdRadioButton2, IdEdit2, IdLabel3, IdButton7, IdLabel8, IdLabel4
};
enum MenuId { IdOpen1 = 1, IdExit1 = 2 };
const UINT_PTR Timer1Id = 1;
}  // namespace

TMF::TMF() {
  Form.Create("RIVIDI VUZUDI DOV ERURAVAR Uzevuru", 685, 497);
  const DWORD tab = WS_TABSTOP;
  auto& f = Form;
  // Created in the tab order of the form.
  f.AddControl(Button1, L"BUTTON", tab | BS_PUSHBUTTON, 0, {16, 80, 169, 25}, "Begin BACKUP", IdButton1);
  f.AddControl(Button2, L"BUTTON", tab | BS_PUSHBUTTON, 0, {304, 416, 75, 25}, "Close", IdButton2);
  f.AddControl(Memo1, L"EDIT",
               tab | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL,
               WS_EX_CLIENTEDGE, {16, 152, 657, 225}, "", IdMemo1);
  SendMessageW(Memo1.hwnd, EM_SETLIMITTEXT, 0, 0);
  f.AddControl(StatusBar1, STATUSCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE, 0, {0, 454, 677, 19}, "",
               IdStatusBar1);
  int parts[1] = {-1};
  SendMessageW(StatusBar1.hwnd, SB_SETPARTS, 1, (LPARAM)parts);
  StatusBar1.SetPanelText("");
  f.AddControl(Label5, L"STATIC", SS_LEFTNOWORDWRAP, 0, {16, 40, 91, 13}, "Required space is :", IdLabel5);
  f.AddControl(Label6, L"STATIC", SS_LEFTNOWORDWRAP, 0, {280, 40, 69, 13}, "Free space is :", IdLabel6);
  f.AddControl(Label7, L"STATIC", SS_LEFTNOWORDWRAP, 0, {16, 12, 83, 13}, "PATH to BackUp", IdLabel7);
  f.AddControl(Edit1, L"EDIT", tab | ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, {112, 8, 393, 21}, "",
               IdEdit1);
  f.AddControl(Button3, L"BUTTON", tab | BS_PUSHBUTTON, 0, {520, 80, 150, 25}, "Begin RECOVERY", IdButton3);
  f.AddControl(Button4, L"BUTTON", tab | BS_PUSHBUTTON, 0, {520, 40, 150, 25}, "Restart OracleService",
               IdButton4);
  // A drop-down list with an edit field; the height given is that of the open list.
  f.AddControl(ComboBox1, L"COMBOBOX", tab | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0,
               {360, 80, 145, 200}, "", IdComboBox1);
  f.AddControl(Button5, L"BUTTON", tab | BS_PUSHBUTTON, 0, {520, 8, 150, 25}, "View Oracle Alert Log",
               IdButton5);
  f.AddControl(CGauge1, PROGRESS_CLASSW, PBS_SMOOTH, WS_EX_CLIENTEDGE, {16, 384, 657, 25}, "", IdGauge1);
  SendMessageW(CGauge1.hwnd, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  SendMessageW(CGauge1.hwnd, PBM_SETBARCOLOR, 0, RGB(0, 0, 255));
  f.AddControl(Button6, L"BUTTON", tab | BS_PUSHBUTTON, 0, {192, 80, 161, 25}, "Restore BACKUP disk",
               IdButton6);
  f.AddControl(Bevel1, L"STATIC", SS_SUNKEN, 0, {16, 72, 654, 2}, "", IdBevel1);
  f.AddControl(Label1, L"STATIC", SS_LEFTNOWORDWRAP, 0, {240, 40, 7, 13}, "B", IdLabel1);
  f.AddControl(Label2, L"STATIC", SS_LEFTNOWORDWRAP, 0, {488, 40, 7, 13}, "B", IdLabel2);
  f.AddControl(RadioButton1, L"BUTTON", tab | WS_GROUP | BS_AUTORADIOBUTTON, 0, {360, 112, 73, 17}, "Full",
               IdRadioButton1);
  f.AddControl(RadioButton2, L"BUTTON", tab | BS_AUTORADIOBUTTON, 0, {464, 112, 49, 17}, "Until",
               IdRadioButton2);
  RadioButton2.SetChecked(true);
  f.AddControl(Edit2, L"EDIT", tab | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, {520, 110, 150, 21}, "", IdEdit2);
  f.AddControl(Label3, L"STATIC", SS_LEFTNOWORDWRAP, 0, {482, 136, 172, 13}, "Format   YYYY-MM-DD:HH24:MI:SE", IdLabel3);
  f.AddControl(Button7, L"BUTTON", tab | BS_PUSHBUTTON, 0, {16, 112, 337, 25}, "View current log", IdButton7);
  f.AddControl(Label8, L"STATIC", SS_RIGHT, 0, {318, 40, 155, 13}, "______________________", IdLabel8);
  f.AddControl(Label4, L"STATIC", SS_RIGHT, 0, {84, 40, 141, 13}, "____________________", IdLabel4);
  LOGFONTW lf;
  GetObjectW(Form.font, sizeof lf, &lf);
  lf.lfWeight = FW_BOLD;
  HFONT bold = CreateFontIndirectW(&lf);
  SendMessageW(Label8.hwnd, WM_SETFONT, (WPARAM)bold, FALSE);
  SendMessageW(Label4.hwnd, WM_SETFONT, (WPARAM)bold, FALSE);

  Form.OnActivate = [this] { FormActivate(); };
  Form.OnCloseQuery = [this] { return FormCloseQuery(); };
  Form.OnTimer = [this](UINT_PTR id) {
    if (id == Timer1Id) Timer1Timer();
  };
  Form.OnCommand = [this](int id) {
    switch (id) {
      case IdButton1: Button1Click(); break;
      case IdButton2: Button2Click(); break;
      case IdButton3: Button3Click(); break;
      case IdButton4: Button4Click(); break;
      case IdButton5: Button5Click(); break;
      case IdButton6: Button6Click(); break;
      case IdButton7: Button7Click(); break;
      case IdComboBox1: ComboBox1Change(); break;
    }
  };
  Form.OnTrayMessage = [this](WPARAM, LPARAM lp) {
    if (lp == WM_LBUTTONDBLCLK) Open1Click();
    if (lp != WM_RBUTTONUP) return;
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, IdOpen1, L"Restore");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IdExit1, L"Exit");
    POINT p;
    GetCursorPos(&p);
    SetForegroundWindow(Form.hwnd);
    int cmd = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, p.x, p.y, 0, Form.hwnd, nullptr);
    DestroyMenu(menu);
    if (cmd == IdOpen1) Open1Click();
    if (cmd == IdExit1) Exit1Click();
  };
  LogView = [](const std::string& line) {
    if (MF) MF->Memo1.AddLine(line);
  };
  Timer1.interval = 10000;
  Timer1.Start(Form.hwnd, Timer1Id);
  TrayIcon1.hint = "Oracle BackUp&Recovery";
  TrayIcon1.Create(Form.hwnd);
}

bool TMF::FormCloseQuery() {
  if (BusyFlag) {
    ui::ShowMessage(PickText("Please wait until backup procedure is completed!",
                             "Пожалуйста, подождите завершения работы программы!"));
    return false;
  }
  int answer = ui::ShowMessageBox(PickText("Finish the session?", "Закончить работу?"), "Oracle BACKUP",
                                  MB_ICONQUESTION | MB_YESNO, Form.hwnd);
  if (answer != IDYES) return false;
  WriteWorkLog(PickText("Work is finished", "Работа завершена"), 0);
  TrayIcon1.Destroy();
  return true;
}

void TMF::Button1Click() { RunBackup(); }
void TMF::Button2Click() { Form.Close(); }
void TMF::Exit1Click() { Form.Close(); }
void TMF::Open1Click() { Form.Restore(); }
// The recovery, the backup-disk restore and the viewers come with their own operations.
void TMF::Button3Click() {}
void TMF::Button5Click() {}
void TMF::Button6Click() {}
void TMF::Button7Click() {}
