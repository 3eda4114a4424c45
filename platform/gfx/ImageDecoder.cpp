#include "platform/gfx/ImageDecoder.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/gfx/GifStructure.h"

namespace platform::gfx {

namespace {

struct Size {
  long long width = 0;
  long long height = 0;
};

std::uint32_t be32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
std::int32_t le32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) |
                                   (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24));
}

// The stored size of the picture, when the header states one.
std::optional<Size> statedSize(PictureFormat format, std::span<const std::uint8_t> b) {
  switch (format) {
    case PictureFormat::Png:
      if (b.size() < 24) return std::nullopt;
      return Size{be32(&b[16]), be32(&b[20])};
    case PictureFormat::Bmp: {
      if (b.size() < 26) return std::nullopt;
      if (le32(&b[14]) == 12) return Size{b[18] | (b[19] << 8), b[20] | (b[21] << 8)};
      const long long h = le32(&b[22]);
      return Size{le32(&b[18]), h < 0 ? -h : h};
    }
    case PictureFormat::Jpeg: {
      std::size_t i = 2;
      while (i + 4 <= b.size()) {
        if (b[i] != 0xFF) return std::nullopt;
        const std::uint8_t marker = b[i + 1];
        if (marker == 0xFF) {
          ++i;
          continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
          i += 2;
          continue;
        }
        const std::size_t length = (b[i + 2] << 8) | b[i + 3];
        const bool frameHeader = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 &&
                                 marker != 0xC8 && marker != 0xCC;
        if (frameHeader) {
          if (i + 9 > b.size()) return std::nullopt;
          return Size{(b[i + 7] << 8) | b[i + 8], (b[i + 5] << 8) | b[i + 6]};
        }
        i += 2 + length;
      }
      return std::nullopt;
    }
    default:
      return std::nullopt;
  }
}

// Offsets and lengths in the headers must lie inside the bytes we have: the decoders
// size their buffers from them before reading further.
bool headerFitsData(PictureFormat format, std::span<const std::uint8_t> b) {
  const long long size = static_cast<long long>(b.size());
  if (format == PictureFormat::Bmp) {
    if (b.size() < 18) return false;
    const long long pixelOffset = static_cast<std::uint32_t>(le32(&b[10]));
    const long long infoSize = static_cast<std::uint32_t>(le32(&b[14]));
    if (infoSize < 12 || infoSize > 124 || 14 + infoSize > size || pixelOffset > size) return false;
    if (infoSize >= 40) {
      const long long coloursUsed = static_cast<std::uint32_t>(le32(&b[46]));
      if (coloursUsed > 256 || 14 + infoSize + 4 * coloursUsed > size) return false;
    }
    return true;
  }
  if (format == PictureFormat::Ico) {
    if (b.size() < 6) return false;
    const int count = b[4] | (b[5] << 8);
    if (count == 0 || 6 + 16LL * count > size) return false;
    for (int i = 0; i < count; ++i) {
      const std::uint8_t* entry = &b[6 + 16 * static_cast<std::size_t>(i)];
      const long long length = static_cast<std::uint32_t>(le32(entry + 8));
      const long long offset = static_cast<std::uint32_t>(le32(entry + 12));
      if (offset > size || length > size - offset) return false;
    }
  }
  return true;
}

// The decoders show whatever rows arrived before the data ended, so a cut picture would
// pass for a whole one: each format's end must be there.
bool pngIsWhole(std::span<const std::uint8_t> b) {
  std::size_t i = 8;
  while (i + 12 <= b.size()) {
    const std::size_t length = be32(&b[i]);
    if (length > b.size() - i - 12) return false;
    if (std::memcmp(&b[i + 4], "IEND", 4) == 0) return true;
    i += 12 + length;
  }
  return false;
}

// The end-of-image marker after the first scan: entropy-coded data stuff every 0xFF, and
// a thumbnail's own marker comes before the scan. Stray bytes between segments are passed
// over, as the reader does.
bool jpegIsWhole(std::span<const std::uint8_t> b) {
  std::size_t i = 2;
  while (i + 4 <= b.size()) {
    const std::uint8_t marker = b[i + 1];
    if (b[i] != 0xFF || marker == 0xFF || marker == 0x00) {
      ++i;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
      i += 2;
      continue;
    }
    if (marker == 0xD9) return false;
    const std::size_t length = (b[i + 2] << 8) | b[i + 3];
    i += 2 + length;
    if (marker == 0xDA) break;
  }
  for (; i + 1 < b.size(); ++i) {
    if (b[i] == 0xFF && b[i + 1] == 0xD9) return true;
  }
  return false;
}

// Uncompressed pixel rows must all be there; compressed ones end where their codes say.
bool bmpIsWhole(std::span<const std::uint8_t> b) {
  const long long infoSize = static_cast<std::uint32_t>(le32(&b[14]));
  long long width = 0, height = 0, bits = 0, compression = 0;
  if (infoSize == 12) {
    width = b[18] | (b[19] << 8);
    height = b[20] | (b[21] << 8);
    bits = b[24] | (b[25] << 8);
  } else {
    if (b.size() < 34) return false;
    width = le32(&b[18]);
    height = le32(&b[22]);
    bits = b[28] | (b[29] << 8);
    compression = static_cast<std::uint32_t>(le32(&b[30]));
  }
  if (compression != 0 && compression != 3) return true;
  if (width <= 0 || bits <= 0 || bits > 32) return false;
  const long long rows = height < 0 ? -height : height;
  const long long stride = (width * bits + 31) / 32 * 4;
  const long long pixelOffset = static_cast<std::uint32_t>(le32(&b[10]));
  return rows <= static_cast<long long>(b.size()) && stride <= static_cast<long long>(b.size()) &&
         pixelOffset + stride * rows <= static_cast<long long>(b.size());
}

bool dataIsWhole(PictureFormat format, std::span<const std::uint8_t> b) {
  switch (format) {
    case PictureFormat::Png: return pngIsWhole(b);
    case PictureFormat::Jpeg: return jpegIsWhole(b);
    case PictureFormat::Bmp: return bmpIsWhole(b);
    default: return true;
  }
}

}  // namespace

bool ImageDecoder::fitsLimit(long long width, long long height, long long frames) {
  constexpr long long limit = kMaxDecodedPixels;
  if (width <= 0 || height <= 0 || frames <= 0) return false;
  if (width > limit || height > limit || frames > limit) return false;
  return width * height <= limit / frames;
}

PictureFormat ImageDecoder::sniff(std::span<const std::uint8_t> b) {
  auto starts = [&b](const char* magic, std::size_t n) {
    return b.size() >= n && std::memcmp(b.data(), magic, n) == 0;
  };
  if (starts("\x89PNG\r\n\x1a\n", 8)) return PictureFormat::Png;
  if (starts("\xFF\xD8\xFF", 3)) return PictureFormat::Jpeg;
  if (starts("GIF87a", 6) || starts("GIF89a", 6)) return PictureFormat::Gif;
  if (starts("BM", 2)) return PictureFormat::Bmp;
  if (starts("\0\0\1\0", 4)) return PictureFormat::Ico;
  return PictureFormat::Unknown;
}

std::unique_ptr<Image> ImageDecoder::decode(std::span<const std::uint8_t> bytes) {
  const PictureFormat format = sniff(bytes);
  if (format == PictureFormat::Unknown || !headerFitsData(format, bytes) || !dataIsWhole(format, bytes)) {
    return nullptr;
  }

  std::vector<int> delays;
  if (format == PictureFormat::Gif) {
    std::optional<GifStructure> gif = readGifStructure(bytes);
    if (!gif || gif->delays.empty()) return nullptr;
    const long long w = std::max(gif->screenWidth, gif->largestFrameWidth);
    const long long h = std::max(gif->screenHeight, gif->largestFrameHeight);
    if (!fitsLimit(w, h, static_cast<long long>(gif->delays.size()))) return nullptr;
    delays = std::move(gif->delays);
  } else if (auto size = statedSize(format, bytes)) {
    if (!fitsLimit(size->width, size->height, 1)) return nullptr;
  }

  return decodeChecked(format, bytes, std::move(delays));
}

}  // namespace platform::gfx
