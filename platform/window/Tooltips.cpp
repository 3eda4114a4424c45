#include "platform/window/Tooltips.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/text/CodePage.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Graphics.h"
#include "platform/gfx/StringFormat.h"
#include "platform/gfx/Surface.h"
#include "platform/window/DesktopServices.h"
#include "platform/window/SurfacePixels.h"
#include "platform/window/WindowApi.h"

namespace platform::window {
namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kPopTimer = 2;
constexpr UINT kAutoPopMs = 5000;

struct Tool {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  RECT rect;
  std::string text;
};

struct Tip {
  std::vector<Tool> tools;
  UINT delay = 500;
  int maxWidth = -1;
  int current = -1;  // index into tools
  bool shown = false;
};

// Only the UI thread touches tooltips.
std::map<HWND, Tip>& tips() {
  static std::map<HWND, Tip> all;
  return all;
}

int findTool(const Tip& tip, HWND hwnd, UINT_PTR id) {
  for (std::size_t i = 0; i < tip.tools.size(); ++i) {
    if (tip.tools[i].hwnd == hwnd && tip.tools[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

void hide(HWND tipWindow, Tip& tip) {
  KillTimer(tipWindow, kShowTimer);
  KillTimer(tipWindow, kPopTimer);
  if (tip.shown) ShowWindow(tipWindow, SW_HIDE);
  tip.shown = false;
}

std::unique_ptr<gfx::Font>& chosenFont() {
  static std::unique_ptr<gfx::Font> font;
  return font;
}

const gfx::Font* tipFont() {
  std::unique_ptr<gfx::Font>& font = chosenFont();
  if (!font) font = gfx::Font::create("sans-serif", 12);
  return font.get();
}

// Draws the text into a small pale box and pushes it to the tip window.
void render(HWND tipWindow, const Tip& tip, const std::string& ansi, POINT at) {
  const std::u16string text = text::ansiToWide(ansi);
  const gfx::Font* font = tipFont();
  const gfx::StringFormat& format = gfx::StringFormat::genericTypographic();
  const gfx::RectF layout{5, 3, tip.maxWidth > 0 ? static_cast<float>(tip.maxWidth) : 0.0f, 0};
  const gfx::RectF extent = gfx::Graphics::measureDetached(text, font, layout, format);
  const int w = std::max(static_cast<int>(std::ceil(extent.width)), 1) + 10;
  const int h = std::max(static_cast<int>(std::ceil(extent.height)), 1) + 6;
  gfx::Surface surface = createWindowSurface(w, h, GetWindowScale(tipWindow));
  if (!surface.valid()) return;
  {
    gfx::Graphics g(surface);
    g.clear(0xFFFFFFE1);
    g.drawRectangle(gfx::Pen{0xFF767676, 1}, {0, 0, static_cast<float>(w - 1), static_cast<float>(h - 1)});
    g.drawString(text, font, layout, format, 0xFF000000);
  }

  const int screenW = GetSystemMetrics(SM_CXSCREEN);
  const int screenH = GetSystemMetrics(SM_CYSCREEN);
  POINT pos{std::clamp(at.x, 0, std::max(0, screenW - w)), at.y + 20};
  if (pos.y + h > screenH) pos.y = std::max(0, at.y - h - 4);
  const SIZE size{w, h};
  UpdateLayeredWindow(tipWindow, &pos, &size, pixelViewOf(surface), {0, 0});
}

void show(HWND tipWindow, Tip& tip) {
  KillTimer(tipWindow, kShowTimer);
  if (tip.current < 0 || tip.current >= static_cast<int>(tip.tools.size())) return;
  const Tool& tool = tip.tools[tip.current];
  if (tool.text.empty()) return;
  POINT at;
  GetCursorPos(&at);
  render(tipWindow, tip, tool.text, at);
  SetWindowTextA(tipWindow, tool.text.c_str());
  ShowWindow(tipWindow, SW_SHOWNA);
  tip.shown = true;
  SetTimer(tipWindow, kPopTimer, kAutoPopMs);
}

LRESULT tooltipProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* info = reinterpret_cast<const TOOLINFOA*>(lParam);
  switch (message) {
    case WM_CREATE:
      tips()[hwnd] = Tip{};
      return 0;
    case WM_DESTROY:
      tips().erase(hwnd);
      return 0;
    default:
      break;
  }
  auto it = tips().find(hwnd);
  if (it == tips().end()) return DefWindowProcA(hwnd, message, wParam, lParam);
  Tip& tip = it->second;
  switch (message) {
    case TTM_ADDTOOLA: {
      if (info == nullptr || info->hwnd == nullptr) return 0;
      Tool tool{info->hwnd, info->uId, info->rect, info->lpszText != nullptr ? info->lpszText : ""};
      const int index = findTool(tip, info->hwnd, info->uId);
      if (index >= 0) tip.tools[index] = tool;
      else tip.tools.push_back(tool);
      return 1;
    }
    case TTM_DELTOOLA: {
      if (info == nullptr) return 0;
      const int index = findTool(tip, info->hwnd, info->uId);
      if (index < 0) return 0;
      if (index == tip.current) {
        hide(hwnd, tip);
        tip.current = -1;
      } else if (index < tip.current) {
        --tip.current;
      }
      tip.tools.erase(tip.tools.begin() + index);
      return 0;
    }
    case TTM_UPDATETIPTEXTA: {
      if (info == nullptr) return 0;
      const int index = findTool(tip, info->hwnd, info->uId);
      if (index < 0) return 0;
      tip.tools[index].text = info->lpszText != nullptr ? info->lpszText : "";
      if (index == tip.current && tip.shown) show(hwnd, tip);
      return 0;
    }
    case TTM_SETDELAYTIME:
      if (wParam == TTDT_INITIAL) tip.delay = static_cast<UINT>(std::max<LPARAM>(0, lParam & 0xFFFF));
      return 0;
    case TTM_SETMAXTIPWIDTH: {
      const int old = tip.maxWidth;
      tip.maxWidth = static_cast<int>(lParam);
      return old;
    }
    case TTM_POP:
      hide(hwnd, tip);
      return 0;
    case WM_TIMER:
      if (wParam == kShowTimer) show(hwnd, tip);
      else if (wParam == kPopTimer) hide(hwnd, tip);
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

}  // namespace

void setTooltipFont(const gfx::Font* font) {
  chosenFont() = font != nullptr ? font->clone() : nullptr;
}

void registerTooltipClass() {
  WNDCLASSEXA wc;
  wc.lpfnWndProc = tooltipProc;
  wc.lpszClassName = TOOLTIPS_CLASSA;
  RegisterClassExA(&wc);
}

void relayToTooltips(const MSG& msg) {
  if (tips().empty()) return;
  const bool move = msg.message == WM_MOUSEMOVE;
  const bool press = msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN ||
                     msg.message == WM_LBUTTONDBLCLK || msg.message == WM_MOUSEWHEEL;
  const bool leave = msg.message == WM_MOUSELEAVE;
  if (!move && !press && !leave) return;
  const int x = loWordSigned(msg.lParam);
  const int y = hiWordSigned(msg.lParam);
  std::vector<HWND> handles;
  for (const auto& [h, t] : tips()) handles.push_back(h);
  for (HWND tipWindow : handles) {
    auto it = tips().find(tipWindow);
    if (it == tips().end()) continue;
    Tip& tip = it->second;
    if (press || leave) {
      if (tip.current >= 0 && tip.tools[tip.current].hwnd == msg.hwnd) {
        hide(tipWindow, tip);
        // Not again until the pointer moves to another tool.
        if (leave) tip.current = -1;
      }
      continue;
    }
    int hit = -1;
    for (std::size_t i = 0; i < tip.tools.size(); ++i) {
      if (tip.tools[i].hwnd == msg.hwnd && tip.tools[i].rect.contains(x, y)) hit = static_cast<int>(i);
    }
    if (hit == tip.current) continue;
    hide(tipWindow, tip);
    tip.current = hit;
    if (hit >= 0) SetTimer(tipWindow, kShowTimer, std::max<UINT>(tip.delay, 1));
  }
}

}  // namespace platform::window
