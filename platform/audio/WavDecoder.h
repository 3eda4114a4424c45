#pragma once

#include <sndfile.h>

#include <memory>

#include "platform/audio/ByteSource.h"
#include "platform/audio/Decoder.h"
#include "platform/system/OwnedHandle.h"

namespace platform::audio {

// RIFF WAVE through libsndfile; any sample encoding it reads comes out as 16-bit.
class WavDecoder : public Decoder {
 public:
  static std::unique_ptr<WavDecoder> open(ByteSource& source);
  ~WavDecoder() override;

  PcmFormat format() const override { return format_; }
  std::size_t read(std::uint8_t* out, std::size_t size) override;
  bool seek(std::uint64_t frame) override;
  std::optional<std::uint64_t> lengthFrames() const override { return length_; }
  double encodedBytesPerSecond() const override { return bytesPerSecond_; }

 private:
  WavDecoder() = default;

  system::OwnedHandle<SNDFILE, sf_close> file_;
  PcmFormat format_;
  std::optional<std::uint64_t> length_;
  double bytesPerSecond_ = 176400;
};

}  // namespace platform::audio
