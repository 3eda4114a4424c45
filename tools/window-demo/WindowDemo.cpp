// A small window drawn with cairo and Pango that shows what the window layer delivers:
// click to drop a dot, double-click to clear, type to write (Chinese input methods too),
// drag the top band to move, the wheel to change the colour, Escape to close.

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/gfx/Surface.h"
#include "platform/gfx/cairo/CairoHandles.h"
#include "platform/text/CodePage.h"
#include "platform/window/DesktopServices.h"
#include "platform/window/SurfacePixels.h"
#include "platform/window/Tooltips.h"
#include "platform/window/WindowApi.h"

namespace pw = platform::window;

namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 240;
constexpr pw::UINT_PTR kBlinkTimer = 1;

struct DemoState {
  std::vector<pw::POINT> dots;
  std::string typedAnsi;
  std::string lastEvent = "ready";
  double hue = 0.55;
  bool caret = true;
  platform::gfx::Surface surface;
};

DemoState& state() {
  static DemoState s;
  return s;
}

void hsv(double h, double& r, double& g, double& b) {
  const double x = h * 6.0;
  const int i = static_cast<int>(x) % 6;
  const double f = x - static_cast<int>(x);
  const double v = 0.85, s = 0.55;
  const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
  const double table[6][3] = {{v, t, p}, {q, v, p}, {p, v, t}, {p, q, v}, {t, p, v}, {v, p, q}};
  r = table[i][0];
  g = table[i][1];
  b = table[i][2];
}

void text(cairo_t* cr, const std::string& utf8, double x, double y, const char* font) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* desc = pango_font_description_from_string(font);
  pango_layout_set_font_description(layout, desc);
  pango_font_description_free(desc);
  pango_layout_set_width(layout, (kWidth - 2 * static_cast<int>(x)) * PANGO_SCALE);
  pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
  pango_layout_set_text(layout, utf8.c_str(), -1);
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout);
  g_object_unref(layout);
}

void redraw(pw::HWND hwnd) {
  DemoState& s = state();
  if (!s.surface.valid()) s.surface = pw::createWindowSurface(kWidth, kHeight, pw::GetWindowScale(hwnd));
  cairo_t* cr = cairo_create(platform::gfx::cairoSurfaceOf(s.surface));
  double r, g, b;
  hsv(s.hue, r, g, b);
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, kHeight);
  cairo_pattern_add_color_stop_rgb(gradient, 0, r, g, b);
  cairo_pattern_add_color_stop_rgb(gradient, 1, r * 0.4, g * 0.4, b * 0.4);
  cairo_set_source(cr, gradient);
  cairo_paint(cr);
  cairo_pattern_destroy(gradient);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.25);
  cairo_rectangle(cr, 0, 0, kWidth, 28);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  text(cr, "窗口演示 — drag here, Esc closes", 10, 6, "Sans Bold 10");
  text(cr, "event: " + s.lastEvent, 10, 40, "Sans 10");
  text(cr, "typed: " + platform::text::ansiToUtf8(s.typedAnsi) + (s.caret ? "|" : ""), 10, 64, "Sans 12");
  for (const pw::POINT& p : s.dots) {
    cairo_arc(cr, p.x, p.y, 5, 0, 6.2832);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  pw::UpdateLayeredWindow(hwnd, nullptr, nullptr, pw::pixelViewOf(s.surface), {0, 0});
}

std::string describe(const char* what, pw::LPARAM lParam) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s at %d, %d", what, pw::loWordSigned(lParam), pw::hiWordSigned(lParam));
  return buffer;
}

pw::LRESULT demoProc(pw::HWND hwnd, pw::UINT message, pw::WPARAM wParam, pw::LPARAM lParam) {
  DemoState& s = state();
  switch (message) {
    case pw::WM_LBUTTONDOWN:
      if (pw::hiWordSigned(lParam) < 28) {
        pw::SendMessageA(hwnd, pw::WM_NCLBUTTONDOWN, pw::HTCAPTION, 0);
        return 0;
      }
      s.dots.push_back({pw::loWordSigned(lParam), pw::hiWordSigned(lParam)});
      s.lastEvent = describe("click", lParam);
      redraw(hwnd);
      return 0;
    case pw::WM_LBUTTONDBLCLK:
      s.dots.clear();
      s.lastEvent = describe("double click", lParam);
      redraw(hwnd);
      return 0;
    case pw::WM_RBUTTONUP: {
      pw::POINT p{pw::loWordSigned(lParam), pw::hiWordSigned(lParam)};
      pw::ClientToScreen(hwnd, &p);
      pw::TrackPopupMenu(pw::GetSystemMenu(hwnd, false), 0, p.x, p.y, 0, hwnd, nullptr);
      return 0;
    }
    case pw::WM_COMMAND:
      return pw::SendMessageA(hwnd, pw::WM_SYSCOMMAND, wParam, 0);
    case pw::WM_MOUSEWHEEL:
      s.hue += static_cast<std::int16_t>(pw::hiWord(wParam)) > 0 ? 0.05 : -0.05;
      if (s.hue < 0) s.hue += 1;
      if (s.hue >= 1) s.hue -= 1;
      s.lastEvent = "wheel";
      redraw(hwnd);
      return 0;
    case pw::WM_KEYDOWN: {
      if (wParam == static_cast<pw::WPARAM>(pw::VK_ESCAPE)) {
        pw::PostMessageA(hwnd, pw::WM_CLOSE, 0, 0);
        return 0;
      }
      char buffer[48];
      std::snprintf(buffer, sizeof buffer, "key %u%s", static_cast<unsigned>(wParam),
                    pw::GetKeyState(pw::VK_CONTROL) < 0 ? " with Ctrl" : "");
      s.lastEvent = buffer;
      redraw(hwnd);
      return 0;
    }
    case pw::WM_CHAR:
      if (wParam == 8) {
        // Drop a whole double-byte character, not half of one.
        if (s.typedAnsi.size() >= 2 &&
            platform::text::isAnsiLeadByte(static_cast<unsigned char>(s.typedAnsi[s.typedAnsi.size() - 2]))) {
          s.typedAnsi.resize(s.typedAnsi.size() - 2);
        } else if (!s.typedAnsi.empty()) {
          s.typedAnsi.pop_back();
        }
      } else if (wParam == 22) {
        s.typedAnsi += pw::clipboardText();
      } else if (wParam >= 32) {
        s.typedAnsi.push_back(static_cast<char>(wParam));
      }
      redraw(hwnd);
      return 0;
    case pw::WM_TIMER:
      s.caret = !s.caret;
      redraw(hwnd);
      return 0;
    case pw::WM_DESTROY:
      pw::PostQuitMessage(0);
      return 0;
    default:
      return pw::DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int main() {
  pw::WNDCLASSEXA wc;
  wc.style = pw::CS_DBLCLKS;
  wc.lpfnWndProc = demoProc;
  wc.hCursor = pw::LoadCursorA(nullptr, pw::IDC_ARROW);
  wc.lpszClassName = "TunoraWindowDemo";
  if (pw::RegisterClassExA(&wc) == 0) return 1;
  static const std::string title = platform::text::utf8ToAnsi("Tunora 窗口演示");
  pw::HWND hwnd = pw::CreateWindowExA(pw::WS_EX_LAYERED | pw::WS_EX_APPWINDOW, "TunoraWindowDemo", title.c_str(),
                                      pw::WS_POPUP | pw::WS_SYSMENU | pw::WS_MINIMIZEBOX | pw::WS_MAXIMIZEBOX,
                                      pw::CW_USEDEFAULT, pw::CW_USEDEFAULT, kWidth, kHeight, nullptr, nullptr);
  if (hwnd == nullptr) return 1;
  pw::SetWindowRgn(hwnd, pw::CreateRoundRectRgn(0, 0, kWidth + 1, kHeight + 1, 14, 14), false);
  pw::HWND tip = pw::CreateWindowExA(pw::WS_EX_TOPMOST | pw::WS_EX_TOOLWINDOW | pw::WS_EX_LAYERED,
                                     pw::TOOLTIPS_CLASSA, "", pw::WS_POPUP | pw::TTS_ALWAYSTIP, 0, 0, 0, 0,
                                     nullptr, nullptr);
  static const std::string tipText = platform::text::utf8ToAnsi("按住这里拖动窗口 (drag to move)");
  pw::TOOLINFOA tool;
  tool.uFlags = pw::TTF_SUBCLASS;
  tool.hwnd = hwnd;
  tool.uId = 1;
  tool.rect = {0, 0, kWidth, 28};
  tool.lpszText = tipText.c_str();
  pw::SendMessageA(tip, pw::TTM_ADDTOOLA, 0, reinterpret_cast<pw::LPARAM>(&tool));
  pw::SendMessageA(tip, pw::TTM_SETDELAYTIME, pw::TTDT_INITIAL, 500);
  redraw(hwnd);
  pw::ShowWindow(hwnd, pw::SW_SHOWNORMAL);
  pw::SetTimer(hwnd, kBlinkTimer, 500);
  pw::MSG msg;
  while (pw::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    pw::TranslateMessage(&msg);
    pw::DispatchMessageA(&msg);
  }
  state().surface = {};
  return static_cast<int>(msg.wParam);
}
