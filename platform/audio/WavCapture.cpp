#include "platform/audio/WavCapture.h"

#include <algorithm>
#include <cstring>

#include "platform/system/OpenFile.h"

namespace platform::audio {
namespace {

void put32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void put16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

std::unique_ptr<WavCapture> WavCapture::create(const std::string& path, PcmFormat format) {
  std::FILE* file = system::openFile(path, "wb");
  if (file == nullptr) return nullptr;
  std::unique_ptr<WavCapture> capture(new WavCapture(file, format));
  capture->writeHeader();
  return capture;
}

WavCapture::~WavCapture() {
  writeHeader();
  std::fclose(file_);
}

void WavCapture::writeHeader() {
  std::uint8_t header[44];
  auto data = static_cast<std::uint32_t>(std::min<std::uint64_t>(dataBytes_, 0xFFFFFFFFu - 36));
  auto blockAlign = static_cast<std::uint16_t>(format_.frameBytes());
  std::memcpy(header, "RIFF", 4);
  put32(header + 4, 36 + data);
  std::memcpy(header + 8, "WAVEfmt ", 8);
  put32(header + 16, 16);
  put16(header + 20, 1);
  put16(header + 22, static_cast<std::uint16_t>(format_.channels));
  put32(header + 24, static_cast<std::uint32_t>(format_.rate));
  put32(header + 28, static_cast<std::uint32_t>(format_.rate) * blockAlign);
  put16(header + 32, blockAlign);
  put16(header + 34, 16);
  std::memcpy(header + 36, "data", 4);
  put32(header + 40, data);
  long end = std::ftell(file_);
  std::fseek(file_, 0, SEEK_SET);
  std::fwrite(header, 1, sizeof header, file_);
  if (end > static_cast<long>(sizeof header)) std::fseek(file_, end, SEEK_SET);
  std::fflush(file_);
  sinceHeader_ = 0;
}

void WavCapture::write(const std::int16_t* pcm, int frames) {
  if (frames <= 0) return;
  // Little-endian on disk; our targets are little-endian.
  std::size_t bytes = static_cast<std::size_t>(frames) * static_cast<std::size_t>(format_.frameBytes());
  std::fwrite(pcm, 1, bytes, file_);
  dataBytes_ += bytes;
  sinceHeader_ += bytes;
  if (sinceHeader_ >= static_cast<std::uint64_t>(format_.rate) * format_.frameBytes()) writeHeader();
}

void WavCapture::writeSilence(std::uint64_t frames) {
  static const std::int16_t zeros[2048] = {};
  const auto chunk = static_cast<std::uint64_t>(2048 / format_.channels);
  while (frames > 0) {
    auto now = std::min(frames, chunk);
    write(zeros, static_cast<int>(now));
    frames -= now;
  }
}

}  // namespace platform::audio
