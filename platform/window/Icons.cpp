#include "platform/window/Icons.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/window/WindowConstants.h"

namespace platform::window {
namespace {

struct IconImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

struct IconTable {
  std::mutex mutex;
  std::map<HICON, std::unique_ptr<IconImage>> icons;
  std::uintptr_t next = 0x1000;
};

IconTable& table() {
  static IconTable t;
  return t;
}

// A plain 16 x 16 stock icon, so windows without one of their own still get something.
HICON stockApplicationIcon() {
  static const HICON icon = [] {
    std::vector<std::uint32_t> px(16 * 16);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const bool edge = x == 0 || y == 0 || x == 15 || y == 15;
        px[y * 16 + x] = edge ? 0xFF1F3F7Fu : (y < 4 ? 0xFF3F7FDFu : 0xFFF0F0F0u);
      }
    }
    return CreateIconFromPixels({px.data(), 16, 16, 16 * 4});
  }();
  return icon;
}

}  // namespace

HICON CreateIconFromPixels(PixelView pixels) {
  if (pixels.pixels == nullptr || pixels.width <= 0 || pixels.height <= 0 ||
      pixels.strideBytes < pixels.width * 4) {
    return nullptr;
  }
  auto image = std::make_unique<IconImage>();
  image->width = pixels.width;
  image->height = pixels.height;
  image->pixels.resize(static_cast<std::size_t>(pixels.width) * pixels.height);
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0; x < pixels.width; ++x) image->pixels[y * pixels.width + x] = pixels.at(x, y);
  }
  IconTable& t = table();
  std::lock_guard lock(t.mutex);
  HICON handle = reinterpret_cast<HICON>(t.next);
  t.next += 0x10;
  t.icons.emplace(handle, std::move(image));
  return handle;
}

bool DestroyIcon(HICON icon) {
  IconTable& t = table();
  std::lock_guard lock(t.mutex);
  return t.icons.erase(icon) > 0;
}

PixelView iconPixels(HICON icon) {
  IconTable& t = table();
  std::lock_guard lock(t.mutex);
  auto it = t.icons.find(icon);
  if (it == t.icons.end()) return {};
  const IconImage& image = *it->second;
  return {image.pixels.data(), image.width, image.height, image.width * 4};
}

HICON LoadIconA(std::nullptr_t, int id) {
  return id == IDI_APPLICATION ? stockApplicationIcon() : nullptr;
}

HCURSOR LoadCursorA(std::nullptr_t, int id) {
  switch (id) {
    case IDC_ARROW: case IDC_IBEAM: case IDC_WAIT: case IDC_CROSS: case IDC_SIZENWSE:
    case IDC_SIZENESW: case IDC_SIZEWE: case IDC_SIZENS: case IDC_SIZEALL: case IDC_NO:
    case IDC_HAND:
      return reinterpret_cast<HCURSOR>(static_cast<std::uintptr_t>(id));
    default:
      return nullptr;
  }
}

int cursorIdOf(HCURSOR cursor) {
  return static_cast<int>(reinterpret_cast<std::uintptr_t>(cursor));
}

}  // namespace platform::window
