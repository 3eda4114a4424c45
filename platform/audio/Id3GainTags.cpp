#include "platform/audio/Id3GainTags.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string_view>
#include <vector>

namespace platform::audio {
namespace {

std::uint32_t bigEndian(const unsigned char* at, int bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value = (value << 8) | at[i];
  return value;
}

std::uint32_t synchsafe(const unsigned char* at) {
  return (std::uint32_t{at[0]} & 0x7f) << 21 | (std::uint32_t{at[1]} & 0x7f) << 14 |
         (std::uint32_t{at[2]} & 0x7f) << 7 | (std::uint32_t{at[3]} & 0x7f);
}

// Undoes unsynchronisation: every 0xFF 0x00 pair stands for 0xFF.
std::vector<unsigned char> resynchronised(const unsigned char* data, std::size_t size) {
  std::vector<unsigned char> out;
  out.reserve(size);
  for (std::size_t i = 0; i < size; ++i) {
    out.push_back(data[i]);
    if (data[i] == 0xff && i + 1 < size && data[i + 1] == 0x00) ++i;
  }
  return out;
}

// One text of a TXXX body from `at`; `at` moves past its terminator. Non-ASCII characters
// become '?': the names and numbers wanted here are ASCII.
std::string takeText(const unsigned char*& at, const unsigned char* end, unsigned char encoding) {
  std::string text;
  if (encoding == 1 || encoding == 2) {
    bool littleEndian = false;
    if (encoding == 1 && end - at >= 2 && ((at[0] == 0xff && at[1] == 0xfe) || (at[0] == 0xfe && at[1] == 0xff))) {
      littleEndian = at[0] == 0xff;
      at += 2;
    }
    while (end - at >= 2) {
      unsigned unit = littleEndian ? at[0] | at[1] << 8 : at[0] << 8 | at[1];
      at += 2;
      if (unit == 0) break;
      if (unit == 0xfeff) continue;  // a BOM before a later text
      text.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return text;
  }
  while (at < end) {
    unsigned char c = *at++;
    if (c == 0) break;
    text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  }
  return text;
}

bool named(std::string_view have, std::string_view name) {
  return have.size() == name.size() &&
         std::equal(have.begin(), have.end(), name.begin(), [](char a, char b) { return std::toupper(a) == b; });
}

void takeExtra(const unsigned char* body, std::size_t size, Id3GainTags& tags) {
  if (size < 2 || body[0] > 3) return;
  const unsigned char* at = body + 1;
  const unsigned char* end = body + size;
  std::string description = takeText(at, end, body[0]);
  std::string value = takeText(at, end, body[0]);
  if (named(description, "REPLAYGAIN_TRACK_GAIN")) tags.gain = value;
  if (named(description, "REPLAYGAIN_TRACK_PEAK")) tags.peak = value;
}

}  // namespace

Id3GainTags id3GainTags(const unsigned char* tag, std::size_t size) {
  Id3GainTags tags;
  if (tag == nullptr || size < 10 || tag[0] != 'I' || tag[1] != 'D' || tag[2] != '3') return tags;
  const int major = tag[3];
  const unsigned flags = tag[5];
  if (major < 2 || major > 4) return tags;
  std::size_t length = std::min<std::size_t>(synchsafe(tag + 6), size - 10);
  std::vector<unsigned char> body(tag + 10, tag + 10 + length);
  // Before version 4 the whole tag is unsynchronised at once, extended header included.
  if ((flags & 0x80) != 0 && major < 4) body = resynchronised(body.data(), body.size());
  std::size_t at = 0;
  if ((flags & 0x40) != 0 && major > 2) {
    if (body.size() < 4) return tags;
    at = major == 3 ? 4 + std::size_t{bigEndian(body.data(), 4)} : std::size_t{synchsafe(body.data())};
  }
  const std::size_t headerSize = major == 2 ? 6 : 10;
  while (at + headerSize <= body.size() && body[at] != 0) {
    const unsigned char* header = body.data() + at;
    std::string_view id(reinterpret_cast<const char*>(header), major == 2 ? 3 : 4);
    std::size_t frameSize = major == 2 ? bigEndian(header + 3, 3) : major == 3 ? bigEndian(header + 4, 4) : synchsafe(header + 4);
    at += headerSize;
    if (frameSize > body.size() - at) break;
    const unsigned char* frame = body.data() + at;
    at += frameSize;
    if (id != (major == 2 ? "TXX" : "TXXX")) continue;
    if (major == 2) {
      takeExtra(frame, frameSize, tags);
      continue;
    }
    const unsigned format = header[9];
    // Compressed or encrypted frames cannot be read here.
    if (major == 3 ? (format & 0xc0) != 0 : (format & 0x0c) != 0) continue;
    std::size_t skip = 0;
    if (major == 3 && (format & 0x20) != 0) skip += 1;   // group
    if (major == 4 && (format & 0x40) != 0) skip += 1;   // group
    if (major == 4 && (format & 0x01) != 0) skip += 4;   // data length
    if (skip > frameSize) continue;
    if (major == 4 && (format & 0x02) != 0) {
      std::vector<unsigned char> plain = resynchronised(frame + skip, frameSize - skip);
      takeExtra(plain.data(), plain.size(), tags);
    } else {
      takeExtra(frame + skip, frameSize - skip, tags);
    }
  }
  return tags;
}

}  // namespace platform::audio
