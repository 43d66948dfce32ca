// Scope wrappers, so that no early return leaks a handle.
#pragma once
#include <windows.h>
#include <winsvc.h>

namespace ui {

// H is the handle type; Traits says how to free it and which values mean "no handle".
template <typename H, typename Traits>
struct AutoHandle {
  H h = nullptr;
  AutoHandle() = default;
  explicit AutoHandle(H v) : h(v) {}
  AutoHandle(const AutoHandle&) = delete;
  AutoHandle& operator=(const AutoHandle&) = delete;
  ~AutoHandle() { Reset(); }
  void Reset(H v = nullptr) {
    if (Ok()) Traits::Free(h);
    h = v;
  }
  bool Ok() const { return h != nullptr && h != Traits::Invalid(); }
  operator H() const { return h; }
};

struct KernelHandleTraits {
  static void Free(HANDLE h) { CloseHandle(h); }
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
};
struct FindHandleTraits {
  static void Free(HANDLE h) { FindClose(h); }
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
};
struct ScHandleTraits {
  static void Free(SC_HANDLE h) { CloseServiceHandle(h); }
  static SC_HANDLE Invalid() { return nullptr; }
};

using AutoCloseHandle = AutoHandle<HANDLE, KernelHandleTraits>;
using AutoFindHandle = AutoHandle<HANDLE, FindHandleTraits>;
using AutoScHandle = AutoHandle<SC_HANDLE, ScHandleTraits>;

}  // namespace ui
