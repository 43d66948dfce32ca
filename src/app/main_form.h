// The main window of the program with its controls and event handlers.
#pragma once
#include <cstdint>
#include <string>
#include "platform/gui.h"

class TMF {
 public:
  TMF();
  ui::Form Form;
  ui::Timer Timer1;
  ui::Button Button1, Button2, Button3, Button4, Button5, Button6, Button7;
  ui::Memo Memo1;
  ui::StatusBar StatusBar1;
  ui::Label Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8;
  ui::Edit Edit1, Edit2;
  ui::TrayIcon TrayIcon1;
  ui::ComboBox ComboBox1;
  ui::Gauge CGauge1;
  ui::Bevel Bevel1;
  ui::RadioButton RadioButton1, RadioButton2;

  void FormActivate();
  bool FormCloseQuery();
  void Timer1Timer();
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button6Click();
  void Button7Click();
  void ComboBox1Change();
  void Open1Click();
  void Exit1Click();

  // True once the first activation has run the start-up sequence.
  bool Activated = false;
};

extern TMF* MF;

// Returns the window to the idle state of its mode and clears BusyFlag.
void ShowModeStatus();
// The enabled and visible state, tray image and hint of the idle window of the mode.
void ShowModeControls();
// The decimal text of a count with "," between groups of three digits.
std::string FormatByteCount(long long count);
// Shows or hides the controls of a recovery: RadioButton1, RadioButton2, Edit2 and Label3.
void ShowRecoveryControls(bool on);
// Drive letter to drive number, A = 1 .. Z = 26, else -1.
int DriveNumber(char letter);
// Free bytes of the drive with that number (1 = A:), -1 when the number names no drive.
int64_t DriveFreeSpace(int driveNumber);
// A local date and time packed in the MS-DOS date-time form; 0 before 1980 and from 2100 on.
int32_t PackLocalTime(const SYSTEMTIME& local);
// The same for a file time of the file system (UTC), taken in local time.
int32_t PackFileTime(const FILETIME& utc);
