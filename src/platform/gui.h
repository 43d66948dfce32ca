// The window layer the program's form is built from: a form, its child controls, a timer,
// a tray icon with its menu. Texts are Windows-1251 bytes; the layer converts them to
// UTF-16 at every Win32 call, so Russian reads right whatever the ANSI code page.
#pragma once
#include <functional>
#include <string>
#include <vector>
#include <windows.h>

namespace ui {

struct Rect { int left, top, width, height; };

// State common to every child control: the window and its place on the form.
struct Control {
  HWND hwnd = nullptr;
  int id = 0;
  virtual void SetText(const std::string& text);
  std::string Text() const;
  void SetEnabled(bool on);
  bool Enabled() const;
  void SetVisible(bool on);
  bool Visible() const;
  void SetFocus();
};

struct Button : Control { std::function<void()> OnClick; };
// A left-aligned label grows or shrinks to its text when the text is set, as the form's labels
// size themselves; a right-aligned one keeps its width.
struct Label : Control {
  void SetText(const std::string& text) override;
};
struct Bevel : Control {};
struct Edit : Control {};
struct RadioButton : Control {
  bool Checked() const;
  void SetChecked(bool on);
};
struct Memo : Control {
  void AddLine(const std::string& line);
  std::vector<std::string> Lines() const;
};
struct ComboBox : Control {
  std::function<void()> OnChange;
  void AddItem(const std::string& item);
  void Clear();
  int Count() const;
  std::string Item(int index) const;
  int ItemIndex() const;  // -1 when the edit field selects no item
  void SetItemIndex(int index);
};
struct StatusBar : Control {
  void SetPanelText(const std::string& text);
  std::string PanelText() const;
};
struct Gauge : Control {
  void SetProgress(int percent);  // 0 to 100
  int Progress() const;
};

// A real window timer of the form.
struct Timer {
  UINT interval = 10000;
  std::function<void()> OnTimer;
  UINT_PTR id = 0;
  HWND owner = nullptr;
  void Start(HWND form, UINT_PTR timerId);
  void Stop();
};

// A notification-area icon with four images and the Restore / - / Exit menu.
struct TrayIcon {
  HWND owner = nullptr;
  int iconIndex = 4;
  std::string hint;
  HICON images[4] = {};
  bool added = false;
  std::function<void()> OnRestore;  // double click or "Restore"
  std::function<void()> OnExit;     // "Exit"
  std::string restoreText = "Restore", exitText = "Exit";
  void Create(HWND form);
  void SetIconIndex(int index);
  int IconIndex() const { return iconIndex; }
  void SetHint(const std::string& text);
  const std::string& Hint() const { return hint; }
  void Destroy();
};

// The top-level window: 685 by 497, centred, system menu and minimize box.
struct Form {
  HWND hwnd = nullptr;
  std::function<void()> OnActivate;            // every activation; the owner decides what is first
  std::function<bool()> OnCloseQuery;          // false refuses the close
  std::function<void(UINT_PTR)> OnTimer;
  std::function<void(WPARAM, LPARAM)> OnTrayMessage;
  std::function<void(int)> OnCommand;          // control id of a click or a change
  HFONT font = nullptr;
  void Create(const std::string& caption, int width, int height);
  void SetCaption(const std::string& caption);
  std::string Caption() const;
  void Show();
  void Close();       // goes through OnCloseQuery
  void Minimize();    // hides the window and its task-bar button
  void Restore();     // shows it again and brings it to the foreground
  void Repaint();     // paints the window at once, between steps of a long operation
  // Child controls, created at their design places with the form's font.
  void AddControl(Control& c, const wchar_t* cls, DWORD style, DWORD exStyle, Rect r,
                  const std::string& text, int id);
  static constexpr UINT WM_TRAY = WM_APP + 1;
};

// The application object: message loop, termination, repainting and the default handler of
// exceptions that escape an event handler.
namespace app {
void Initialize();
// Runs the message loop until the main form is closed or Terminate was requested.
int Run(Form& main);
// Ends the program after the current handler returns, without the close question.
void Terminate();
bool Terminated();
// Shows an exception in a message box; the program goes on.
void ShowException(const std::exception& e);
// Calls an event handler under the default exception handler.
void Dispatch(const std::function<void()>& handler);
HWND MainWindow();
}  // namespace app

}  // namespace ui
