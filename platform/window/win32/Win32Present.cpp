// Pixels to the screen: the shown image is copied into a DIB of the window's size and
// handed to the layered update, per-pixel alpha and all; after the first push only the
// changed rectangle is copied and passed on.

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "platform/window/win32/Win32Native.h"

namespace platform::window::win32 {

namespace {

bool ensureDib(Win32Backend::Native& n, int width, int height) {
  if (n.dib != nullptr && n.dibWidth == width && n.dibHeight == height) return true;
  if (n.dib != nullptr) DeleteObject(n.dib);
  n.dib = nullptr;
  n.regionMask.clear();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as the image's rows are
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  n.dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &n.dibBits, nullptr, 0);
  n.dibWidth = n.dib != nullptr ? width : 0;
  n.dibHeight = n.dib != nullptr ? height : 0;
  return n.dib != nullptr;
}

::RECT pixelEdges(const RECT& r, double scale) {
  return {gfx::pixelsFloor(r.left, scale), gfx::pixelsFloor(r.top, scale), gfx::pixelsCeil(r.right, scale),
          gfx::pixelsCeil(r.bottom, scale)};
}

// The region cuts the pixels too: not every system applies a window region to a layered
// window, and a pixel of alpha 0 lets clicks through as the cut-away part should.
void maskOutsideRegion(Win32Backend::Native& n, std::uint32_t* pixels, int width, int height, const ::RECT& area) {
  if (!n.region) return;
  const std::size_t count = static_cast<std::size_t>(width) * height;
  if (n.regionMask.size() != count) {
    n.regionMask.assign(count, 0);
    for (const RECT& r : n.region->rectangles()) {
      const ::RECT p = pixelEdges(r, n.scale);
      for (int y = std::max<int>(p.top, 0); y < std::min<int>(p.bottom, height); ++y) {
        for (int x = std::max<int>(p.left, 0); x < std::min<int>(p.right, width); ++x) {
          n.regionMask[static_cast<std::size_t>(y) * width + x] = 1;
        }
      }
    }
  }
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * width + x;
      if (n.regionMask[i] == 0) pixels[i] = 0;
    }
  }
}

}  // namespace

void pushImage(Win32Backend::Native& n, const RECT* dirty) {
  const PixelView view = n.image.view();
  if (view.pixels == nullptr || view.width <= 0 || view.height <= 0) return;
  const bool sameDib = n.dib != nullptr && n.dibWidth == view.width && n.dibHeight == view.height;
  if (!ensureDib(n, view.width, view.height)) return;
  ::RECT frame{};
  GetWindowRect(n.native, &frame);
  // Only the changed pixels travel while the window keeps its size and the DIB holds the rest.
  const bool partial = dirty != nullptr && sameDib && n.everPushed && frame.right - frame.left == view.width &&
                       frame.bottom - frame.top == view.height;
  ::RECT area{0, 0, view.width, view.height};
  if (partial) {
    const ::RECT p = pixelEdges(*dirty, n.scale);
    area = {std::max<LONG>(p.left, 0), std::max<LONG>(p.top, 0), std::min<LONG>(p.right, view.width),
            std::min<LONG>(p.bottom, view.height)};
    if (area.left >= area.right || area.top >= area.bottom) return;
  }
  // Both are premultiplied BGRA in memory, as the layered update wants them.
  auto* dst = static_cast<std::uint8_t*>(n.dibBits);
  const auto* src = reinterpret_cast<const std::uint8_t*>(view.pixels);
  for (int y = area.top; y < area.bottom; ++y) {
    std::memcpy(dst + (static_cast<std::size_t>(y) * view.width + area.left) * 4,
                src + static_cast<std::size_t>(y) * view.strideBytes + static_cast<std::size_t>(area.left) * 4,
                static_cast<std::size_t>(area.right - area.left) * 4);
  }
  maskOutsideRegion(n, static_cast<std::uint32_t*>(n.dibBits), view.width, view.height, area);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, n.dib);
  ::POINT position{frame.left, frame.top};
  ::SIZE size{view.width, view.height};
  ::POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, n.alpha, AC_SRC_ALPHA};
  UPDATELAYEREDWINDOWINFO info{sizeof info, screen, &position, &size, memory, &origin, 0, &blend, ULW_ALPHA,
                               partial ? &area : nullptr};
  if (UpdateLayeredWindowIndirect(n.native, &info) ||
      (partial && UpdateLayeredWindow(n.native, screen, &position, &size, memory, &origin, 0, &blend, ULW_ALPHA))) {
    n.everPushed = true;
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

void applyRegion(Win32Backend::Native& n) {
  n.regionMask.clear();
  if (n.everPushed) pushImage(n);
  cutRegion(n);
}

void cutRegion(Win32Backend::Native& n) {
  n.regionMask.clear();
  if (!n.region) {
    SetWindowRgn(n.native, nullptr, TRUE);
    return;
  }
  // Edge by edge, so that neighbouring rectangles meet without a gap at fractional scales.
  auto edges = [&n](const RECT& r) { return pixelEdges(r, n.scale); };
  std::vector<::RECT> rects;
  for (const RECT& r : n.region->rectangles()) rects.push_back(edges(r));
  std::vector<std::uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(::RECT));
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = static_cast<::DWORD>(rects.size());
  header->nRgnSize = static_cast<::DWORD>(rects.size() * sizeof(::RECT));
  header->rcBound = rects.empty() ? ::RECT{0, 0, 0, 0} : edges(n.region->bounds());
  if (!rects.empty()) std::memcpy(data.data() + sizeof(RGNDATAHEADER), rects.data(), rects.size() * sizeof(::RECT));
  HRGN region = ExtCreateRegion(nullptr, static_cast<::DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
  // The window owns the region from here on.
  if (region != nullptr && !SetWindowRgn(n.native, region, TRUE)) DeleteObject(region);
}

}  // namespace platform::window::win32

namespace platform::window {

void Win32Backend::setIcon(HWND hwnd, const PixelView* icon) {
  Native* n = find(hwnd);
  if (n == nullptr) return;
  ::HICON made = nullptr;
  if (icon != nullptr && icon->pixels != nullptr && icon->width > 0 && icon->height > 0) {
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = icon->width;
    header.bV5Height = -icon->height;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    HBITMAP mask = CreateBitmap(icon->width, icon->height, 1, 1, nullptr);
    if (color != nullptr && mask != nullptr) {
      // Icons take straight alpha.
      auto* out = static_cast<std::uint32_t*>(bits);
      for (int y = 0; y < icon->height; ++y) {
        for (int x = 0; x < icon->width; ++x) {
          const std::uint32_t p = icon->at(x, y);
          const unsigned a = p >> 24;
          auto un = [a](unsigned c) { return a == 0 ? 0u : std::min(255u, (c * 255 + a / 2) / a); };
          out[y * icon->width + x] = (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
        }
      }
      ICONINFO info{TRUE, 0, 0, mask, color};
      made = CreateIconIndirect(&info);
    }
    if (color != nullptr) DeleteObject(color);
    if (mask != nullptr) DeleteObject(mask);
  }
  SendMessageW(n->native, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(made));
  SendMessageW(n->native, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(made));
  if (n->icon != nullptr) DestroyIcon(n->icon);
  n->icon = made;
}

}  // namespace platform::window
