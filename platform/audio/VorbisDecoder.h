#pragma once

#include <vorbis/vorbisfile.h>

#include <memory>

#include "platform/audio/ByteSource.h"
#include "platform/audio/Decoder.h"

namespace platform::audio {

// Ogg Vorbis through libvorbisfile. A source that is still downloading is opened as a
// plain stream: libvorbisfile would otherwise seek to the end at once to learn the length.
class VorbisDecoder : public Decoder {
 public:
  static std::unique_ptr<VorbisDecoder> open(ByteSource& source);
  ~VorbisDecoder() override;

  PcmFormat format() const override { return format_; }
  std::size_t read(std::uint8_t* out, std::size_t size) override;
  bool seek(std::uint64_t frame) override;
  std::optional<std::uint64_t> lengthFrames() const override { return length_; }
  double encodedBytesPerSecond() const override { return bytesPerSecond_; }
  void sourceCompleted() override;
  std::optional<ReplayGain> replayGain() const override { return replayGain_; }

 private:
  explicit VorbisDecoder(ByteSource& source) : source_(source) {}
  bool openFile(bool seekable);

  ByteSource& source_;
  OggVorbis_File file_{};
  bool opened_ = false;
  bool seekable_ = false;
  PcmFormat format_;
  std::optional<std::uint64_t> length_;
  double bytesPerSecond_ = 16000;
  std::optional<ReplayGain> replayGain_;
};

}  // namespace platform::audio
