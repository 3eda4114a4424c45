#include "ui/framework/WindowClass.h"

#include "assets/EmbeddedArtwork.h"
#include "platform/gfx/Image.h"
#include "ui/framework/Framework.h"

namespace ui {
namespace pw = platform::window;
namespace {

// The program's own window icon when the artwork carries one, else the stock icon.
pw::HICON programIcon() {
  static const pw::HICON icon = [] {
    const auto png = assets::embeddedPicture("windowIcon");
    if (!png.empty()) {
      if (auto image = platform::gfx::Image::fromBytes(png)) {
        const platform::gfx::Surface& s = image->surface();
        if (pw::HICON made = pw::CreateIconFromPixels({s.pixels(), s.width(), s.height(), s.strideBytes()})) {
          return made;
        }
      }
    }
    return pw::LoadIconA(nullptr, pw::IDI_APPLICATION);
  }();
  return icon;
}

}  // namespace

bool registerWindowClass(pw::WNDPROC windowProcedure, const std::optional<std::string>& className,
                         std::optional<pw::HICON> icon, std::optional<pw::UINT> classStyle,
                         std::optional<pw::HCURSOR> cursor) {
  const std::string name = className.value_or(kFrameworkClassName);
  pw::WNDCLASSEXA wc;
  wc.style = classStyle.value_or(pw::CS_DBLCLKS);
  wc.lpfnWndProc = windowProcedure;
  wc.hIcon = icon.value_or(programIcon());
  wc.hCursor = cursor.value_or(pw::LoadCursorA(nullptr, pw::IDC_ARROW));
  wc.hbrBackground = 16;  // COLOR_BTNFACE + 1
  wc.lpszClassName = name.c_str();
  return pw::RegisterClassExA(&wc) != 0;
}

pw::LRESULT defaultWindowProcedure(pw::HWND hwnd, pw::UINT message, pw::WPARAM wParam, pw::LPARAM lParam) {
  return pw::DefWindowProcA(hwnd, message, wParam, lParam);
}

pw::UINT_PTR setTimer(pw::HWND hwnd, pw::UINT_PTR timerId, std::optional<int> intervalMs) {
  const int fallback = framework().defaultInterval > 0 ? framework().defaultInterval : kDefaultTimerInterval;
  const int interval = intervalMs.value_or(fallback);
  return pw::SetTimer(hwnd, timerId, static_cast<pw::UINT>(interval < 0 ? 0 : interval));
}

void setRoundRegion(pw::HWND hwnd, int width, int height, int inset, int radius) {
  if (!pw::IsWindow(hwnd)) return;
  pw::SetWindowRgn(hwnd,
                   pw::CreateRoundRectRgn(inset, inset, width - inset + 1, height - inset + 1, radius, radius),
                   true);
}

}  // namespace ui
