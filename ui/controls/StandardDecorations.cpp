#include "ui/controls/StandardDecorations.h"

#include "platform/window/Icons.h"
#include "platform/window/WindowApi.h"
#include "ui/controls/ExCaptionButton.h"
#include "ui/controls/ExPicture.h"

namespace ui::controls {

namespace pw = platform::window;

namespace {

resources::ExImage windowIconPicture(HWND host) {
  auto icon = reinterpret_cast<pw::HICON>(pw::SendMessageA(host, pw::WM_GETICON, pw::ICON_SMALL, 0));
  if (icon == nullptr) icon = reinterpret_cast<pw::HICON>(pw::GetClassLongPtrA(host, pw::GCLP_HICONSM));
  if (icon == nullptr) icon = reinterpret_cast<pw::HICON>(pw::GetClassLongPtrA(host, pw::GCLP_HICON));
  // A window without an icon shows the stock application icon, as a native caption does.
  if (icon == nullptr) icon = pw::LoadIconA(nullptr, pw::IDI_APPLICATION);
  resources::ExImage picture;
  const pw::PixelView pixels = pw::iconPixels(icon);
  if (pixels.pixels != nullptr) {
    picture.SetHandle(platform::gfx::Image::createBitmap(pixels.width, pixels.height,
                                                         platform::gfx::kPixelFormat32bppPARGB,
                                                         pixels.strideBytes, pixels.pixels));
  }
  return picture;
}

}  // namespace

std::unique_ptr<ControlObject> StandardDecorations::makeCaptionButton(HWND host, int captionBit, RectF bounds) {
  auto button = std::make_unique<ExCaptionButton>();
  if (button->create(host, captionBit, bounds) == 0) return nullptr;
  return button;
}

std::unique_ptr<ControlObject> StandardDecorations::makeIconPanel(HWND host, RectF bounds) {
  auto panel = std::make_unique<ExPicture>();
  if (panel->create(host, bounds, windowIconPicture(host)) == 0) return nullptr;
  return panel;
}

}  // namespace ui::controls
