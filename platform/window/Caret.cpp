#include "platform/window/Caret.h"

#include <algorithm>
#include <optional>

#include "platform/window/WindowApi.h"
#include "platform/window/WindowSystem.h"

namespace platform::window {

namespace {

struct CaretState {
  HWND owner = nullptr;
  SIZE size{};
  POINT position{};
};

// UI thread only.
CaretState& caret() {
  static CaretState state;
  return state;
}

template <typename F>
bool onUi(F f) {
  WindowSystem& sys = WindowSystem::instance();
  if (sys.onUiThread()) return f();
  bool result = false;
  sys.invoke([&] { result = f(); });
  return result;
}

void tellInputMethod(const CaretState& c) {
  const RECT area{c.position.x, c.position.y, c.position.x + c.size.cx, c.position.y + c.size.cy};
  WindowSystem::instance().backend().setInputCursor(c.owner, area);
}

}  // namespace

bool CreateCaret(HWND hwnd, int width, int height) {
  return onUi([&] {
    if (!IsWindow(hwnd)) return false;
    CaretState& c = caret();
    if (c.owner != nullptr && c.owner != hwnd && IsWindow(c.owner)) {
      WindowSystem::instance().backend().setInputCursor(c.owner, std::nullopt);
    }
    c.owner = hwnd;
    c.size = {std::max(width, 1), std::max(height, 1)};
    c.position = {};
    return true;
  });
}

bool SetCaretPos(int x, int y) {
  return onUi([&] {
    CaretState& c = caret();
    if (c.owner == nullptr || !IsWindow(c.owner)) return false;
    c.position = {x, y};
    tellInputMethod(c);
    return true;
  });
}

bool GetCaretPos(POINT* out) {
  if (out == nullptr) return false;
  return onUi([&] {
    const CaretState& c = caret();
    if (c.owner == nullptr || !IsWindow(c.owner)) return false;
    *out = c.position;
    return true;
  });
}

bool DestroyCaret() {
  return onUi([&] {
    CaretState& c = caret();
    if (c.owner == nullptr) return false;
    if (IsWindow(c.owner)) WindowSystem::instance().backend().setInputCursor(c.owner, std::nullopt);
    c = CaretState{};
    return true;
  });
}

HWND GetCaretOwner() {
  HWND owner = nullptr;
  onUi([&] {
    const CaretState& c = caret();
    owner = c.owner != nullptr && IsWindow(c.owner) ? c.owner : nullptr;
    return true;
  });
  return owner;
}

}  // namespace platform::window
