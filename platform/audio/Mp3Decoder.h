#pragma once

#include <memory>

#include <mpg123.h>

#include "platform/audio/ByteSource.h"
#include "platform/audio/Decoder.h"
#include "platform/system/OwnedHandle.h"

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
  std::optional<ReplayGain> replayGain() const override { return replayGain_; }

 private:
  explicit Mp3Decoder(ByteSource& source);
  // mpg123_delete closes the handle first.
  using Handle = system::OwnedHandle<mpg123_handle, mpg123_delete>;

  static Handle newHandle(ByteSource& source);
  bool start();
  void takeLength(mpg123_handle* handle);
  void takeReplayGain();

  ByteSource& source_;
  Handle handle_;
  PcmFormat format_;
  std::optional<std::uint64_t> length_;
  double bytesPerSecond_ = 16000;
  bool scanned_ = false;
  std::optional<ReplayGain> replayGain_;
};

}  // namespace platform::audio
