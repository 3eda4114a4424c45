#include "platform/window/DesktopServices.h"

#include "platform/text/CodePage.h"
#include "platform/window/WindowConstants.h"
#include "platform/window/WindowSystem.h"

namespace platform::window {
namespace {

template <typename F>
auto onUi(F f) -> decltype(f()) {
  WindowSystem& s = WindowSystem::instance();
  if (s.onUiThread()) return f();
  decltype(f()) result{};
  s.invoke([&] { result = f(); });
  return result;
}

Backend& backend() { return WindowSystem::instance().backend(); }

std::vector<std::string> splitPatterns(std::string_view patterns) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= patterns.size()) {
    std::size_t end = patterns.find(';', start);
    if (end == std::string_view::npos) end = patterns.size();
    std::string_view one = patterns.substr(start, end - start);
    while (!one.empty() && one.front() == ' ') one.remove_prefix(1);
    while (!one.empty() && one.back() == ' ') one.remove_suffix(1);
    if (!one.empty()) out.emplace_back(one);
    start = end + 1;
  }
  return out;
}

}  // namespace

int GetSystemMetrics(int index) {
  return onUi([&] {
    const SIZE screen = backend().screenSize();
    switch (index) {
      case SM_CXSCREEN: return screen.cx;
      case SM_CYSCREEN: return screen.cy;
      // The largest a window may grow, a little beyond the screen as with framed windows.
      case SM_CXMAXTRACK: return screen.cx + 12;
      case SM_CYMAXTRACK: return screen.cy + 12;
      case SM_CXDOUBLECLK: return backend().doubleClickSize().cx;
      case SM_CYDOUBLECLK: return backend().doubleClickSize().cy;
      default: return 0;
    }
  });
}

bool SystemParametersInfoA(UINT action, UINT, void* param, UINT) {
  if (action != SPI_GETWORKAREA || param == nullptr) return false;
  return onUi([&] {
    *static_cast<RECT*>(param) = backend().workArea();
    return true;
  });
}

UINT GetDoubleClickTime() {
  return onUi([&] { return static_cast<UINT>(backend().doubleClickTimeMs()); });
}

bool MessageBeep(UINT type) {
  return onUi([&] {
    backend().beep(type);
    return true;
  });
}

bool setClipboardText(std::string_view ansi) {
  const std::string utf8 = text::ansiToUtf8(ansi);
  return onUi([&] {
    backend().setClipboardUtf8(utf8);
    return true;
  });
}

std::string clipboardText() {
  return onUi([&] { return text::utf8ToAnsi(backend().clipboardUtf8()); });
}

std::vector<FileFilter> parseFileFilter(std::string_view filter) {
  std::vector<FileFilter> out;
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (start <= filter.size()) {
    std::size_t end = filter.find('|', start);
    if (end == std::string_view::npos) end = filter.size();
    parts.push_back(filter.substr(start, end - start));
    start = end + 1;
  }
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    FileFilter f;
    f.nameUtf8 = std::string(parts[i]);
    f.patterns = splitPatterns(parts[i + 1]);
    if (!f.nameUtf8.empty() && !f.patterns.empty()) out.push_back(std::move(f));
  }
  return out;
}

std::optional<std::string> openFileDialog(HWND owner, std::string_view titleAnsi,
                                          std::string_view filterAnsi) {
  const std::string title = text::ansiToUtf8(titleAnsi);
  const std::vector<FileFilter> filters = parseFileFilter(text::ansiToUtf8(filterAnsi));
  return onUi([&] { return backend().openFileDialog(owner, title, filters); });
}

}  // namespace platform::window
