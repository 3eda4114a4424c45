#pragma once

#include <memory>

#include "platform/audio/ByteSource.h"
#include "platform/audio/Decoder.h"

struct mpg123_handle_struct;

namespace platform::audio {

// MPEG 1/2/2.5 layers I-III through libmpg123, gapless, forced to 16-bit output.
class Mp3Decoder : public Decoder {
 public:
  // Null when the bytes are not decodable MPEG audio.
  static std::unique_ptr<Mp3Decoder> open(ByteSource& source);
  ~Mp3Decoder() override;

  PcmFormat format() const override { return format_; }
  std::size_t read(std::uint8_t* out, std::size_t size) override;
  bool seek(std::uint64_t frame) override;
  bool seekApproximately(std::uint64_t frame) override;
  std::optional<std::uint64_t> lengthFrames() const override { return length_; }
  void sourceCompleted() override;
  double encodedBytesPerSecond() const override { return bytesPerSecond_; }

 private:
  explicit Mp3Decoder(ByteSource& source);
  static mpg123_handle_struct* newHandle(ByteSource& source);
  bool start();
  void takeLength(mpg123_handle_struct* handle);

  ByteSource& source_;
  mpg123_handle_struct* handle_ = nullptr;
  PcmFormat format_;
  std::optional<std::uint64_t> length_;
  double bytesPerSecond_ = 16000;
  bool scanned_ = false;
};

}  // namespace platform::audio
