#include "platform/registry.h"

#include "platform/text.h"

namespace ui {

bool RegistryKey::Open(const std::string& path, bool create) {
  Close();
  std::string p = !path.empty() && path[0] == '\\' ? path.substr(1) : path;
  std::wstring w = ToWide(p);
  LONG rc = create ? RegCreateKeyExW(HKEY_LOCAL_MACHINE, w.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                     nullptr, &key, nullptr)
                   : RegOpenKeyExW(HKEY_LOCAL_MACHINE, w.c_str(), 0, KEY_ALL_ACCESS, &key);
  if (rc != ERROR_SUCCESS) key = nullptr;
  return key != nullptr;
}

void RegistryKey::Close() {
  if (key) RegCloseKey(key);
  key = nullptr;
}

std::string RegistryKey::ReadString(const std::string& name) {
  std::wstring w = ToWide(name);
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExW(key, w.c_str(), nullptr, &type, nullptr, &size);
  if (rc == ERROR_FILE_NOT_FOUND) return {};
  if (rc != ERROR_SUCCESS) throw ERegistryException("Failed to get data for '" + name + "'");
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw ERegistryException("Invalid data type for '" + name + "'");
  std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
  size = (DWORD)(data.size() * sizeof(wchar_t));
  rc = RegQueryValueExW(key, w.c_str(), nullptr, &type, (BYTE*)data.data(), &size);
  if (rc != ERROR_SUCCESS) throw ERegistryException("Failed to get data for '" + name + "'");
  data.resize(wcsnlen(data.c_str(), data.size()));
  return FromWide(data);
}

void RegistryKey::WriteString(const std::string& name, const std::string& value) {
  std::wstring v = ToWide(value);
  LONG rc = RegSetValueExW(key, ToWide(name).c_str(), 0, REG_SZ, (const BYTE*)v.c_str(),
                           (DWORD)((v.size() + 1) * sizeof(wchar_t)));
  if (rc != ERROR_SUCCESS) throw ERegistryException("Failed to set data for '" + name + "'");
}

}  // namespace ui
