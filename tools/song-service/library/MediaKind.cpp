#include "tools/song-service/library/MediaKind.h"

#include <string>

namespace songservice {
namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// MPEG audio frame length from a four-byte header, 0 when it is no layer I-III header.
std::size_t mpegFrameLength(std::string_view bytes) {
  if (bytes.size() < 4) return 0;
  auto b = [&](int i) { return static_cast<unsigned char>(bytes[i]); };
  if (b(0) != 0xFF || (b(1) & 0xE0) != 0xE0) return 0;
  const int version = (b(1) >> 3) & 3;  // 0: 2.5, 2: 2, 3: 1; 1 is reserved
  const int layer = (b(1) >> 1) & 3;    // 0 is reserved (and what AAC's ADTS puts there)
  const int bitrateIndex = b(2) >> 4, rateIndex = (b(2) >> 2) & 3, padding = (b(2) >> 1) & 1;
  if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return 0;
  static constexpr int kBitrates[2][3][15] = {
      {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
       {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
       {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
      {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
  static constexpr int kRates[3] = {44100, 48000, 32000};
  const bool mpeg1 = version == 3;
  const int layerNumber = 4 - layer;  // 1..3
  const int kbps = kBitrates[mpeg1 ? 0 : 1][layerNumber - 1][bitrateIndex];
  int rate = kRates[rateIndex];
  if (version == 2) rate /= 2;
  if (version == 0) rate /= 4;
  if (layerNumber == 1) return static_cast<std::size_t>((12 * kbps * 1000 / rate + padding) * 4);
  const int factor = (layerNumber == 3 && !mpeg1) ? 72 : 144;
  return static_cast<std::size_t>(factor * kbps * 1000 / rate + padding);
}

// Two frames in a row, or one that the head ends inside, make an MP3 stream.
bool looksLikeMpeg(std::string_view bytes, bool afterTag) {
  std::size_t length = mpegFrameLength(bytes);
  if (length == 0) return false;
  if (length + 4 > bytes.size()) return afterTag;
  return mpegFrameLength(bytes.substr(length)) != 0;
}

MediaKind streamKind(std::string_view bytes, bool afterTag) {
  if (startsWith(bytes, "fLaC")) return MediaKind::Flac;
  if (startsWith(bytes, "OggS") && bytes.size() >= 36) {
    std::string_view packet = bytes.substr(28);
    if (startsWith(packet, "\x01vorbis")) return MediaKind::Vorbis;
    if (startsWith(packet, "OpusHead")) return MediaKind::Opus;
    return MediaKind::None;
  }
  if (startsWith(bytes, "RIFF") && bytes.size() >= 12 && bytes.substr(8, 4) == "WAVE") return MediaKind::Wav;
  return looksLikeMpeg(bytes, afterTag) ? MediaKind::Mp3 : MediaKind::None;
}

}  // namespace

std::size_t id3v2Size(std::string_view head) {
  if (head.size() < 10 || !startsWith(head, "ID3")) return 0;
  std::size_t size = 0;
  for (int i = 6; i < 10; ++i) {
    auto byte = static_cast<unsigned char>(head[i]);
    if (byte & 0x80) return 0;
    size = size << 7 | byte;
  }
  const bool footer = static_cast<unsigned char>(head[5]) & 0x10;
  return 10 + size + (footer ? 10 : 0);
}

MediaKind detectMediaKind(const MediaHead& head) {
  if (head.tagEnd > 0) return streamKind(head.afterTag, true);
  return streamKind(head.head, false);
}

const char* mediaExtension(MediaKind kind) {
  switch (kind) {
    case MediaKind::Mp3: return "mp3";
    case MediaKind::Vorbis: return "ogg";
    case MediaKind::Opus: return "opus";
    case MediaKind::Flac: return "flac";
    case MediaKind::Wav: return "wav";
    case MediaKind::None: break;
  }
  return "";
}

const char* mediaContentType(MediaKind kind) {
  switch (kind) {
    case MediaKind::Mp3: return "audio/mpeg";
    case MediaKind::Vorbis: return "audio/ogg";
    case MediaKind::Opus: return "audio/ogg; codecs=opus";
    case MediaKind::Flac: return "audio/flac";
    case MediaKind::Wav: return "audio/wav";
    case MediaKind::None: break;
  }
  return "application/octet-stream";
}

MediaKind detectFileKind(const OpenFile& file) {
  constexpr std::size_t kProbe = 4096;
  std::string head(kProbe, '\0');
  std::size_t got = file.readAt(0, head.data(), kProbe);
  if (got == 0) return MediaKind::None;
  head.resize(got);
  MediaHead probe{head, 0, {}};
  std::string after;
  if (std::size_t tag = id3v2Size(head); tag > 0) {
    after.resize(kProbe);
    got = file.readAt(tag, after.data(), kProbe);
    if (got == 0) return MediaKind::None;
    after.resize(got);
    probe.tagEnd = tag;
    probe.afterTag = after;
  }
  return detectMediaKind(probe);
}

}  // namespace songservice
