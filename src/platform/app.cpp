// The application object: initialisation, message loop, termination and the default handler
// for exceptions that escape an event handler.
#include "platform/gui.h"

#include <commctrl.h>
#include <stdexcept>

#include "platform/msgbox.h"

namespace ui::app {

static HWND Main = nullptr;
static bool TerminateRequested = false;

void Initialize() {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
}

int Run(Form& main) {
  Main = main.hwnd;
  main.Show();
  MSG m;
  while (!TerminateRequested && GetMessageW(&m, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(main.hwnd, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  // A requested end closes the window without the close question.
  if (IsWindow(main.hwnd)) {
    SetWindowLongPtrW(main.hwnd, GWLP_USERDATA, 0);
    DestroyWindow(main.hwnd);
  }
  Main = nullptr;
  return 0;
}

void Terminate() {
  TerminateRequested = true;
  PostQuitMessage(0);
}

bool Terminated() { return TerminateRequested; }

HWND MainWindow() { return Main; }

void ShowException(const std::exception& e) {
  ShowMessageBox(e.what(), ApplicationTitle, MB_OK | MB_ICONERROR, Main);
}

void Dispatch(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowException(e);
  } catch (...) {
    ShowException(std::runtime_error("Unknown exception"));
  }
}

}  // namespace ui::app
