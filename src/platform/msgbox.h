// Every message box of the program goes through here, so that a test can answer them.
#pragma once
#include <functional>
#include <string>
#include <windows.h>

namespace ui {

struct MessageBoxCall {
  std::string text, caption;
  UINT flags;    // MB_ICON* | MB_OK / MB_YESNO ...
  HWND owner;
};

// A responder records a box and returns the button pressed (IDOK, IDYES, IDNO ...).
using MessageBoxResponder = std::function<int(const MessageBoxCall&)>;
// Installs a responder (an empty one restores the real modal boxes).
void SetMessageBoxResponder(MessageBoxResponder responder);

// A modal box; without a responder the real one, with the texts shown through the wide API.
int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags, HWND owner);
// The plain message: OK button, the application title as caption, owned by the main window.
void ShowMessage(const std::string& text);
// The application title shown by plain messages.
extern const char* ApplicationTitle;

}  // namespace ui
