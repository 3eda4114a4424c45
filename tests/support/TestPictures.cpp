#include "tests/support/TestPictures.h"

#include <fstream>

#include "platform/gfx/Surface.h"
#include "tests/support/TestPictureWriter.h"

namespace testpictures {

Bytes encodeSolid(const std::string& type, int width, int height, std::uint32_t argb) {
  const bool alpha = type == "png" || type == "ico";
  const std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, argb);
  return writePicture(type, width, height, pixels, alpha);
}

Bytes encodeGrain(const std::string& type, int width, int height, unsigned seed) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  unsigned grain = seed * 2654435761u + 1;
  for (std::uint32_t& pixel : pixels) {
    pixel = 0xFF000000u;
    for (int shift = 16; shift >= 0; shift -= 8) {
      grain = grain * 1103515245u + 12345u;
      pixel |= (grain >> 24) << shift;
    }
  }
  return writePicture(type, width, height, pixels, false);
}

Bytes encodeSurface(const platform::gfx::Surface& surface) {
  std::vector<std::uint32_t> pixels;
  pixels.reserve(static_cast<std::size_t>(surface.width()) * surface.height());
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) pixels.push_back(surface.pixel(x, y));
  }
  return writePicture("png", surface.width(), surface.height(), pixels, true);
}

bool saveSurface(const platform::gfx::Surface& surface, const std::string& path) {
  const Bytes bytes = encodeSurface(surface);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return !bytes.empty() && out.good();
}

namespace {
void le16(Bytes& b, int v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
}  // namespace

Bytes encodeGif(const std::vector<std::uint32_t>& frameRgb, const std::vector<int>& delays, bool loop) {
  Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
  le16(b, 2);
  le16(b, 2);
  b.push_back(0x80 | 0x01);  // global table of 4 colours
  b.push_back(0);
  b.push_back(0);
  for (std::size_t i = 0; i < 4; ++i) {
    const std::uint32_t c = i < frameRgb.size() ? frameRgb[i] : 0;
    b.push_back(static_cast<std::uint8_t>(c >> 16));
    b.push_back(static_cast<std::uint8_t>(c >> 8));
    b.push_back(static_cast<std::uint8_t>(c));
  }
  // Loop forever, so every frame is reachable.
  const std::uint8_t loopBlock[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0',
                               0x03, 0x01, 0x00, 0x00, 0x00};
  if (loop) b.insert(b.end(), std::begin(loopBlock), std::end(loopBlock));
  for (std::size_t f = 0; f < frameRgb.size(); ++f) {
    b.insert(b.end(), {0x21, 0xF9, 0x04, 0x00});
    le16(b, f < delays.size() ? delays[f] : 0);
    b.insert(b.end(), {0x00, 0x00});
    b.push_back(0x2C);
    le16(b, 0);
    le16(b, 0);
    le16(b, 2);
    le16(b, 2);
    b.push_back(0);
    b.push_back(2);  // LZW minimum code size
    // Clear code before every pixel keeps all codes 3 bits wide: clear, p, clear, p, ...
    const int index = static_cast<int>(f);
    std::vector<int> codes;
    for (int p = 0; p < 4; ++p) {
      codes.push_back(4);
      codes.push_back(index);
    }
    codes.push_back(5);
    Bytes data;
    unsigned acc = 0;
    int bits = 0;
    for (int code : codes) {
      acc |= static_cast<unsigned>(code) << bits;
      bits += 3;
      while (bits >= 8) {
        data.push_back(static_cast<std::uint8_t>(acc));
        acc >>= 8;
        bits -= 8;
      }
    }
    if (bits > 0) data.push_back(static_cast<std::uint8_t>(acc));
    b.push_back(static_cast<std::uint8_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    b.push_back(0);
  }
  b.push_back(0x3B);
  return b;
}

}  // namespace testpictures
