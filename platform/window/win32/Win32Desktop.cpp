// The desktop's services: metrics, clipboard, file dialog, menus and other programs' windows.

#include <algorithm>
#include <cstring>

#include "platform/window/win32/Win32Native.h"

#include <commdlg.h>

namespace platform::window {

using namespace win32;

SIZE Win32Backend::screenSize() {
  const double s = desktopScale();
  return {toUnits(GetSystemMetrics(SM_CXSCREEN), s), toUnits(GetSystemMetrics(SM_CYSCREEN), s)};
}

RECT Win32Backend::workArea() {
  ::RECT r{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return toUnits(r, desktopScale());
}

int Win32Backend::doubleClickTimeMs() { return static_cast<int>(GetDoubleClickTime()); }

SIZE Win32Backend::doubleClickSize() {
  const double s = desktopScale();
  return {std::max(toUnits(GetSystemMetrics(SM_CXDOUBLECLK), s), 1), std::max(toUnits(GetSystemMetrics(SM_CYDOUBLECLK), s), 1)};
}

POINT Win32Backend::cursorPos() {
  ::POINT p{};
  GetCursorPos(&p);
  const double s = desktopScale();
  return {toUnits(p.x, s), toUnits(p.y, s)};
}

void Win32Backend::beep(UINT type) { MessageBeep(type); }

void Win32Backend::setClipboardUtf8(const std::string& text) {
  const std::wstring w = wide(text);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (w.size() + 1) * sizeof(wchar_t));
  if (memory == nullptr) return;
  std::memcpy(GlobalLock(memory), w.c_str(), (w.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  ::HWND owner = windows_.empty() ? nullptr : windows_.begin()->second->native;
  if (!OpenClipboard(owner)) {
    GlobalFree(memory);
    return;
  }
  EmptyClipboard();
  if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
  CloseClipboard();
}

std::string Win32Backend::clipboardUtf8() {
  if (!OpenClipboard(nullptr)) return {};
  std::string text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
      const std::size_t most = GlobalSize(data) / sizeof(wchar_t);
      text = utf8(std::wstring_view(units, wcsnlen(units, most)));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

std::optional<std::string> Win32Backend::openFileDialog(HWND owner, const std::string& titleUtf8,
                                                        const std::vector<FileFilter>& filters) {
  // "name\0pattern;pattern\0...\0\0"
  std::wstring filter;
  for (const FileFilter& f : filters) {
    filter += wide(f.nameUtf8);
    filter.push_back(L'\0');
    for (std::size_t i = 0; i < f.patterns.size(); ++i) {
      if (i > 0) filter.push_back(L';');
      filter += wide(f.patterns[i]);
    }
    filter.push_back(L'\0');
  }
  filter.push_back(L'\0');
  std::wstring file(32768, L'\0');
  const std::wstring title = wide(titleUtf8);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  Native* o = owner != nullptr ? find(owner) : nullptr;
  ofn.hwndOwner = o != nullptr ? o->native : nullptr;
  ofn.lpstrFilter = filters.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<::DWORD>(file.size());
  ofn.lpstrTitle = title.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return utf8(file.c_str());
}

std::optional<UINT> Win32Backend::popupMenu(HWND owner, const std::vector<MenuItem>& items, POINT screen) {
  Native* o = owner != nullptr ? find(owner) : nullptr;
  if (o == nullptr || items.empty()) return std::nullopt;
  ::HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return std::nullopt;
  for (const MenuItem& item : items) {
    const UINT flags = MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED);
    AppendMenuW(menu, flags, item.id, wide(item.labelUtf8).c_str());
  }
  // Without the foreground the menu would not close on a click elsewhere.
  SetForegroundWindow(o->native);
  const int chosen = TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                      toPixels(screen.x, o->scale), toPixels(screen.y, o->scale), o->native, nullptr);
  DestroyMenu(menu);
  if (chosen == 0) return std::nullopt;
  return static_cast<UINT>(chosen);
}

namespace {

struct Search {
  std::wstring title;
  ::HWND found = nullptr;
};

BOOL CALLBACK matchTitle(::HWND candidate, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  ::DWORD process = 0;
  GetWindowThreadProcessId(candidate, &process);
  if (process == GetCurrentProcessId()) return TRUE;
  const int length = GetWindowTextLengthW(candidate);
  if (length != static_cast<int>(search->title.size())) return TRUE;
  std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(candidate, title.data(), length + 1);
  title.resize(static_cast<std::size_t>(length));
  if (title != search->title) return TRUE;
  search->found = candidate;
  return FALSE;
}

}  // namespace

std::uint64_t Win32Backend::findForeignWindow(const std::string& titleUtf8) {
  Search search{wide(titleUtf8)};
  EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&search));
  return reinterpret_cast<std::uintptr_t>(search.found);
}

bool Win32Backend::foreignWindowExists(std::uint64_t id) {
  return id != 0 && IsWindow(reinterpret_cast<::HWND>(static_cast<std::uintptr_t>(id)));
}

bool Win32Backend::showForeignWindow(std::uint64_t id, NativeShow how) {
  auto* native = reinterpret_cast<::HWND>(static_cast<std::uintptr_t>(id));
  if (id == 0 || !IsWindow(native)) return false;
  switch (how) {
    case NativeShow::Hide: ShowWindow(native, SW_HIDE); return true;
    case NativeShow::Minimized: ShowWindow(native, SW_MINIMIZE); return true;
    case NativeShow::Maximized: ShowWindow(native, SW_SHOWMAXIMIZED); break;
    case NativeShow::Restore:
      if (IsIconic(native)) ShowWindow(native, SW_RESTORE);
      break;
    case NativeShow::Normal: ShowWindow(native, SW_SHOW); break;
    case NativeShow::NormalNoActivate: ShowWindow(native, SW_SHOWNOACTIVATE); return true;
  }
  SetForegroundWindow(native);
  return true;
}

}  // namespace platform::window
