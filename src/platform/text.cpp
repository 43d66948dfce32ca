#include "platform/text.h"

#include <windows.h>

namespace ui {

std::wstring ToWide(std::string_view s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(1251, 0, s.data(), (int)s.size(), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(1251, 0, s.data(), (int)s.size(), w.data(), n);
  return w;
}

std::string FromWide(std::wstring_view w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(1251, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(1251, 0, w.data(), (int)w.size(), s.data(), n, nullptr, nullptr);
  return s;
}

std::string SystemErrorText(unsigned long code) {
  wchar_t* buf = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, (LPWSTR)&buf, 0, nullptr);
  std::string text = n ? FromWide(std::wstring_view(buf, n)) : "error " + std::to_string(code);
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  return text;
}

}  // namespace ui
