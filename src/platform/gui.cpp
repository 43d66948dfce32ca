#include "platform/gui.h"

#include <commctrl.h>
#include <shellapi.h>

#include "platform/text.h"

namespace ui {

// ---- child controls -------------------------------------------------------------------

static std::wstring WindowTextW(HWND h) {
  int n = GetWindowTextLengthW(h);
  std::wstring w(n + 1, L'\0');
  n = GetWindowTextW(h, w.data(), n + 1);
  w.resize(n);
  return w;
}

void Control::SetText(const std::string& text) { SetWindowTextW(hwnd, ToWide(text).c_str()); }
std::string Control::Text() const { return FromWide(WindowTextW(hwnd)); }
void Control::SetEnabled(bool on) { EnableWindow(hwnd, on); }
bool Control::Enabled() const { return IsWindowEnabled(hwnd); }
void Control::SetVisible(bool on) { ShowWindow(hwnd, on ? SW_SHOWNA : SW_HIDE); }
bool Control::Visible() const { return (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }
void Control::SetFocus() { ::SetFocus(hwnd); }

void Label::SetText(const std::string& text) {
  Control::SetText(text);
  // Labels are drawn on the form's face: the form repaints what the old text covered.
  RECT was;
  GetWindowRect(hwnd, &was);
  MapWindowPoints(nullptr, GetParent(hwnd), (POINT*)&was, 2);
  InvalidateRect(GetParent(hwnd), &was, TRUE);
  if (GetWindowLongW(hwnd, GWL_STYLE) & SS_RIGHT) return;
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageW(hwnd, WM_GETFONT, 0, 0));
  std::wstring w = ToWide(text);
  SIZE size = {};
  GetTextExtentPoint32W(dc, w.c_str(), (int)w.size(), &size);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  RECT r;
  GetWindowRect(hwnd, &r);
  SetWindowPos(hwnd, nullptr, 0, 0, size.cx, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool RadioButton::Checked() const { return SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void RadioButton::SetChecked(bool on) {
  SendMessageW(hwnd, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Memo::AddLine(const std::string& line) {
  int end = GetWindowTextLengthW(hwnd);
  std::wstring w = end > 0 ? L"\r\n" : L"";
  // An edit control breaks lines only at CR LF; a text's own line feeds are shown as breaks.
  for (wchar_t ch : ToWide(line)) {
    if (ch == L'\n' && (w.empty() || w.back() != L'\r')) w += L'\r';
    w += ch;
  }
  SendMessageW(hwnd, EM_SETSEL, end, end);
  SendMessageW(hwnd, EM_REPLACESEL, FALSE, (LPARAM)w.c_str());
}

std::vector<std::string> Memo::Lines() const {
  std::vector<std::string> lines;
  std::string all = Text();
  if (all.empty()) return lines;
  size_t start = 0;
  for (;;) {
    size_t p = all.find("\r\n", start);
    lines.push_back(all.substr(start, p == std::string::npos ? std::string::npos : p - start));
    if (p == std::string::npos) break;
    start = p + 2;
  }
  return lines;
}

void ComboBox::AddItem(const std::string& item) {
  SendMessageW(hwnd, CB_ADDSTRING, 0, (LPARAM)ToWide(item).c_str());
}
void ComboBox::Clear() { SendMessageW(hwnd, CB_RESETCONTENT, 0, 0); }
int ComboBox::Count() const { return (int)SendMessageW(hwnd, CB_GETCOUNT, 0, 0); }
std::string ComboBox::Item(int index) const {
  LRESULT n = SendMessageW(hwnd, CB_GETLBTEXTLEN, index, 0);
  if (n == CB_ERR) return {};
  std::wstring w(n + 1, L'\0');
  n = SendMessageW(hwnd, CB_GETLBTEXT, index, (LPARAM)w.data());
  w.resize(n == CB_ERR ? 0 : n);
  return FromWide(w);
}
int ComboBox::ItemIndex() const { return (int)SendMessageW(hwnd, CB_GETCURSEL, 0, 0); }
void ComboBox::SetItemIndex(int index) { SendMessageW(hwnd, CB_SETCURSEL, index, 0); }

void StatusBar::SetPanelText(const std::string& text) {
  SendMessageW(hwnd, SB_SETTEXTW, 0, (LPARAM)ToWide(text).c_str());
}
std::string StatusBar::PanelText() const {
  LRESULT n = LOWORD(SendMessageW(hwnd, SB_GETTEXTLENGTHW, 0, 0));
  std::wstring w(n + 1, L'\0');
  SendMessageW(hwnd, SB_GETTEXTW, 0, (LPARAM)w.data());
  w.resize(n);
  return FromWide(w);
}

void Gauge::SetProgress(int percent) { SendMessageW(hwnd, PBM_SETPOS, percent, 0); }
int Gauge::Progress() const { return (int)SendMessageW(hwnd, PBM_GETPOS, 0, 0); }

// ---- timer ------------------------------------------------------------------------------

void Timer::Start(HWND form, UINT_PTR timerId) {
  owner = form;
  id = timerId;
  SetTimer(owner, id, interval, nullptr);
}
void Timer::Stop() {
  if (owner) KillTimer(owner, id);
}

// ---- tray icon ----------------------------------------------------------------------------

// The four 16 by 16 images: a disk with a coloured mark (waiting, backup, recovery, services).
static HICON DrawTrayImage(COLORREF mark) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP color = CreateCompatibleBitmap(screen, 16, 16);
  HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
  HGDIOBJ old = SelectObject(dc, color);
  RECT all = {0, 0, 16, 16};
  HBRUSH back = CreateSolidBrush(RGB(0, 0, 0));
  FillRect(dc, &all, back);
  HBRUSH body = CreateSolidBrush(RGB(90, 90, 120));
  RECT disk = {1, 2, 15, 14};
  FillRect(dc, &disk, body);
  HBRUSH dot = CreateSolidBrush(mark);
  RECT led = {9, 8, 14, 13};
  FillRect(dc, &led, dot);
  SelectObject(dc, mask);
  HBRUSH black = (HBRUSH)GetStockObject(BLACK_BRUSH);
  FillRect(dc, &all, black);
  SelectObject(dc, old);
  ICONINFO ii = {TRUE, 0, 0, mask, color};
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(back);
  DeleteObject(body);
  DeleteObject(dot);
  DeleteObject(color);
  DeleteObject(mask);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return icon;
}

static void FillTrayData(const TrayIcon& t, NOTIFYICONDATAW& d) {
  ZeroMemory(&d, sizeof d);
  d.cbSize = NOTIFYICONDATAW_V2_SIZE;
  d.hWnd = t.owner;
  d.uID = 1;
  d.uFlags = NIF_MESSAGE | NIF_TIP | (t.iconIndex >= 0 && t.iconIndex < 4 ? NIF_ICON : 0);
  d.uCallbackMessage = Form::WM_TRAY;
  if (t.iconIndex >= 0 && t.iconIndex < 4) d.hIcon = t.images[t.iconIndex];
  std::wstring tip = ToWide(t.hint).substr(0, 127);
  lstrcpynW(d.szTip, tip.c_str(), 128);
}

void TrayIcon::Create(HWND form) {
  owner = form;
  const COLORREF marks[4] = {RGB(0, 200, 0), RGB(230, 40, 40), RGB(40, 90, 240), RGB(240, 200, 0)};
  for (int i = 0; i < 4; i++) images[i] = DrawTrayImage(marks[i]);
  NOTIFYICONDATAW d;
  FillTrayData(*this, d);
  added = Shell_NotifyIconW(NIM_ADD, &d);
}

void TrayIcon::SetIconIndex(int index) {
  iconIndex = index;
  NOTIFYICONDATAW d;
  FillTrayData(*this, d);
  Shell_NotifyIconW(added ? NIM_MODIFY : NIM_ADD, &d);
}

void TrayIcon::SetHint(const std::string& text) {
  hint = text;
  NOTIFYICONDATAW d;
  FillTrayData(*this, d);
  Shell_NotifyIconW(added ? NIM_MODIFY : NIM_ADD, &d);
}

void TrayIcon::Destroy() {
  if (!owner) return;
  NOTIFYICONDATAW d;
  FillTrayData(*this, d);
  Shell_NotifyIconW(NIM_DELETE, &d);
  for (HICON& i : images)
    if (i) DestroyIcon(i), i = nullptr;
  owner = nullptr;
}

// ---- form -----------------------------------------------------------------------------------

static const wchar_t* FormClass = L"TMF";
static const UINT WM_FIRST_ACTIVATE = WM_APP + 2;

static LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Form* f = (Form*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
  if (!f) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_ACTIVATE:
      // The handler runs after the activation has finished, from the message loop.
      if (LOWORD(wp) != WA_INACTIVE) PostMessageW(hwnd, WM_FIRST_ACTIVATE, 0, 0);
      break;
    case WM_FIRST_ACTIVATE:
      if (f->OnActivate) app::Dispatch(f->OnActivate);
      return 0;
    case WM_COMMAND:
      if (f->OnCommand && lp) {
        int code = HIWORD(wp);
        if (code == BN_CLICKED || code == CBN_SELCHANGE || code == CBN_EDITCHANGE)
          app::Dispatch([f, wp] { f->OnCommand(LOWORD(wp)); });
      }
      return 0;
    case WM_TIMER:
      if (f->OnTimer) app::Dispatch([f, wp] { f->OnTimer(wp); });
      return 0;
    case Form::WM_TRAY:
      if (f->OnTrayMessage) app::Dispatch([f, wp, lp] { f->OnTrayMessage(wp, lp); });
      return 0;
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_MINIMIZE) {
        f->Minimize();
        return 0;
      }
      break;
    case WM_CLOSE: {
      bool allow = true;
      if (f->OnCloseQuery) app::Dispatch([f, &allow] { allow = f->OnCloseQuery(); });
      if (allow) DestroyWindow(hwnd);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_CTLCOLORSTATIC: {
      HDC dc = (HDC)wp;
      wchar_t cls[16];
      GetClassNameW((HWND)lp, cls, 16);
      // Labels are transparent, so that overlapping ones all show; read-only edits take the
      // form's face colour.
      if (!_wcsicmp(cls, L"Static")) {
        SetBkMode(dc, TRANSPARENT);
        return (LRESULT)GetStockObject(NULL_BRUSH);
      }
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return (LRESULT)GetSysColorBrush(COLOR_BTNFACE);
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void Form::Create(const std::string& caption, int width, int height) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = FormProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.hIcon = LoadIconW(nullptr, (LPCWSTR)IDI_APPLICATION);
  wc.lpszClassName = FormClass;
  RegisterClassW(&wc);
  int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  hwnd = CreateWindowExW(0, FormClass, ToWide(caption).c_str(),
                         WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                         x, y, width, height, nullptr, nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, (LONG_PTR)this);
  // "MS Sans Serif" 8 point, at the screen's resolution, not scaled to it.
  HDC dc = GetDC(hwnd);
  int h = -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(hwnd, dc);
  font = CreateFontW(h, 0, 0, 0, FW_NORMAL, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, 0, 0, L"MS Sans Serif");
}

void Form::SetCaption(const std::string& caption) { SetWindowTextW(hwnd, ToWide(caption).c_str()); }
std::string Form::Caption() const { return FromWide(WindowTextW(hwnd)); }
void Form::Show() {
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
}
void Form::Close() { PostMessageW(hwnd, WM_CLOSE, 0, 0); }
void Form::Minimize() { ShowWindow(hwnd, SW_HIDE); }
void Form::Restore() {
  ShowWindow(hwnd, SW_RESTORE);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
}
void Form::Repaint() { RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); }

void Form::AddControl(Control& c, const wchar_t* cls, DWORD style, DWORD exStyle, Rect r,
                      const std::string& text, int id) {
  c.id = id;
  c.hwnd = CreateWindowExW(exStyle, cls, ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                           r.left, r.top, r.width, r.height, hwnd, (HMENU)(INT_PTR)id,
                           GetModuleHandleW(nullptr), nullptr);
  SendMessageW(c.hwnd, WM_SETFONT, (WPARAM)font, FALSE);
}

}  // namespace ui
