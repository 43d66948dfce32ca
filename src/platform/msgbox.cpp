#include "platform/msgbox.h"

#include "platform/gui.h"
#include "platform/text.h"

namespace ui {

const char* ApplicationTitle = "kantrix";
static MessageBoxResponder Responder;

void SetMessageBoxResponder(MessageBoxResponder responder) { Responder = std::move(responder); }

int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags, HWND owner) {
  if (Responder) return Responder({text, caption, flags, owner});
  return MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), flags);
}

void ShowMessage(const std::string& text) {
  ShowMessageBox(text, ApplicationTitle, MB_OK, app::MainWindow());
}

}  // namespace ui
