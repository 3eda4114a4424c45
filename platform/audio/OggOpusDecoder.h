#pragma once

#include <opusfile.h>

#include <memory>

#include "platform/audio/ByteSource.h"
#include "platform/audio/Decoder.h"
#include "platform/system/OwnedHandle.h"

namespace platform::audio {

// Ogg Opus through libopusfile: always 48 kHz stereo (mono is doubled, more channels are
// mixed down by the library), with the pre-skip and gain applied by the library. A source
// that is still downloading is opened as a plain stream, as libopusfile would otherwise
// seek to the end at once to learn the length.
class OggOpusDecoder : public Decoder {
 public:
  static constexpr int kRate = 48000;

  static std::unique_ptr<OggOpusDecoder> open(ByteSource& source);
  ~OggOpusDecoder() override;

  PcmFormat format() const override { return PcmFormat{kRate, 2}; }
  std::size_t read(std::uint8_t* out, std::size_t size) override;
  bool seek(std::uint64_t frame) override;
  std::optional<std::uint64_t> lengthFrames() const override { return length_; }
  double encodedBytesPerSecond() const override { return bytesPerSecond_; }
  void sourceCompleted() override;
  std::optional<ReplayGain> replayGain() const override { return replayGain_; }

 private:
  explicit OggOpusDecoder(ByteSource& source) : source_(source) {}
  bool openFile(bool seekable);

  ByteSource& source_;
  system::OwnedHandle<OggOpusFile, op_free> file_;
  bool seekable_ = false;
  std::optional<std::uint64_t> length_;
  std::optional<ReplayGain> replayGain_;
  double bytesPerSecond_ = 12000;
};

}  // namespace platform::audio
