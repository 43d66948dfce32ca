// The program keeps Windows-1251 bytes; Win32 gets UTF-16. These two convert between them.
#pragma once
#include <string>
#include <string_view>

namespace ui {
std::wstring ToWide(std::string_view cp1251);
std::string FromWide(std::wstring_view wide);
// The system's text for an error code, without its trailing line end.
std::string SystemErrorText(unsigned long code);
}  // namespace ui
