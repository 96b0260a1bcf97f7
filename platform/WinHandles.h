// Owned Win32 handles: one UniqueHandle per kind, plus scoped GetDC and SelectObject helpers so
// painting code has no clean-up tail. Windows only.
#pragma once

#include "UniqueHandle.h"

#include <windows.h>
#include <commctrl.h>

namespace tessaly::win {

namespace traits {
// CreateFile, CreateMutex, CreateEvent, CreateThread, OpenProcess, CreateFileMapping ...
struct Kernel {  // INVALID_HANDLE_VALUE and 0 both mean "none"; CreateFile gives the first
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
struct File {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { CloseHandle(h); }
};
struct Find {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { FindClose(h); }
};
struct RegistryKey {
  using Type = HKEY;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { RegCloseKey(h); }
};
struct MappedView {
  using Type = const void*;
  static Type Invalid() { return nullptr; }
  static void Close(Type p) { UnmapViewOfFile(p); }
};
struct Module {
  using Type = HMODULE;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { FreeLibrary(h); }
};
struct Window {
  using Type = HWND;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { DestroyWindow(h); }
};
struct Menu {
  using Type = HMENU;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { DestroyMenu(h); }
};
template <typename T>
struct GdiObject {
  using Type = T;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { DeleteObject(h); }
};
struct Icon {
  using Type = HICON;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { DestroyIcon(h); }
};
struct ImageList {
  using Type = HIMAGELIST;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ImageList_Destroy(h); }
};
struct MemoryDc {  // CreateCompatibleDC; a DC from GetDC goes back through ScopedGetDC
  using Type = HDC;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { DeleteDC(h); }
};
}  // namespace traits

using UniqueKernelHandle = UniqueHandle<traits::Kernel>;
using UniqueFile = UniqueHandle<traits::File>;
using UniqueFind = UniqueHandle<traits::Find>;
using UniqueRegKey = UniqueHandle<traits::RegistryKey>;
using UniqueMappedView = UniqueHandle<traits::MappedView>;
using UniqueModule = UniqueHandle<traits::Module>;
using UniqueWindow = UniqueHandle<traits::Window>;
using UniqueMenu = UniqueHandle<traits::Menu>;
using UniqueFont = UniqueHandle<traits::GdiObject<HFONT>>;
using UniqueBitmap = UniqueHandle<traits::GdiObject<HBITMAP>>;
using UniqueBrush = UniqueHandle<traits::GdiObject<HBRUSH>>;
using UniquePen = UniqueHandle<traits::GdiObject<HPEN>>;
using UniqueRegion = UniqueHandle<traits::GdiObject<HRGN>>;
using UniqueIcon = UniqueHandle<traits::Icon>;
using UniqueImageList = UniqueHandle<traits::ImageList>;
using UniqueMemoryDc = UniqueHandle<traits::MemoryDc>;

// GetDC on construction, ReleaseDC on scope exit.
class ScopedGetDC {
 public:
  explicit ScopedGetDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ScopedGetDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  ScopedGetDC(const ScopedGetDC&) = delete;
  ScopedGetDC& operator=(const ScopedGetDC&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// SelectObject on construction, the previous object selected back on scope exit.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ~ScopedSelectObject() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace tessaly::win
