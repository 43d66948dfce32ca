// Registry access under HKEY_LOCAL_MACHINE; errors are exceptions with the layer's own text.
#pragma once
#include <stdexcept>
#include <string>
#include <windows.h>

namespace ui {

struct ERegistryException : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct RegistryKey {
  HKEY key = nullptr;
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() { Close(); }
  // Opens a key of HKEY_LOCAL_MACHINE with full access; a leading "\" is allowed.
  bool Open(const std::string& path, bool create);
  void Close();
  // A missing value reads as empty; a value that is not a string throws.
  std::string ReadString(const std::string& name);
  void WriteString(const std::string& name, const std::string& value);
};

}  // namespace ui
