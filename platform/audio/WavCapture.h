#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/audio/Decoder.h"

namespace platform::audio {

// Writes 16-bit PCM into a WAV file, keeping the header's sizes current so that the file
// is readable at any moment.
class WavCapture {
 public:
  static std::unique_ptr<WavCapture> create(const std::string& path, PcmFormat format);
  ~WavCapture();

  void write(const std::int16_t* pcm, int frames);
  void writeSilence(std::uint64_t frames);

 private:
  WavCapture(std::FILE* file, PcmFormat format) : file_(file), format_(format) {}
  void writeHeader();

  std::FILE* file_;
  PcmFormat format_;
  std::uint64_t dataBytes_ = 0;
  std::uint64_t sinceHeader_ = 0;
};

}  // namespace platform::audio
