// Image loading from untrusted bytes: decoding must fail cleanly or give a picture whose
// every frame can be read and drawn.

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/gfx/Graphics.h"
#include "platform/gfx/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto image = platform::gfx::Image::fromBytes(std::span(data, size));
  if (!image) return 0;
  platform::gfx::Surface target = platform::gfx::Surface::create(16, 16);
  platform::gfx::Graphics g(target);
  for (int frame = 0; frame < image->frameCount(); ++frame) {
    image->selectFrame(frame);
    image->pixel(image->width() - 1, image->height() - 1);
    g.drawImage(*image, platform::gfx::RectF{0, 0, 16, 16});
  }
  if (image->frameDelays() && image->frameDelays()->size() != static_cast<std::size_t>(image->frameCount())) {
    __builtin_trap();
  }
  return 0;
}
