#pragma once

#include <FLAC/stream_decoder.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio/ByteSource.h"
#include "platform/audio/Decoder.h"
#include "platform/system/OwnedHandle.h"

namespace platform::audio {

// Native FLAC through libFLAC, which also skips a leading ID3v2 tag. Seeks use the file's
// seek table when it has one. Samples wider than 16 bits are rounded to the nearest 16-bit
// value (clamped at full scale); 16-bit sources come out bit for bit.
class FlacDecoder : public Decoder {
 public:
  // Null when the bytes hold no usable FLAC stream information.
  static std::unique_ptr<FlacDecoder> open(ByteSource& source);
  ~FlacDecoder() override;

  PcmFormat format() const override { return format_; }
  std::size_t read(std::uint8_t* out, std::size_t size) override;
  bool seek(std::uint64_t frame) override;
  std::optional<std::uint64_t> lengthFrames() const override { return length_; }
  double encodedBytesPerSecond() const override { return bytesPerSecond_; }
  std::optional<ReplayGain> replayGain() const override { return replayGain_; }

 private:
  explicit FlacDecoder(ByteSource& source) : source_(source) {}
  // The C callbacks reach these through the client data pointer.
  friend struct FlacCallbacks;
  void takeStreamInfo(const FLAC__StreamMetadata_StreamInfo& info);
  void takeComments(const FLAC__StreamMetadata& block);
  bool takeBlock(const FLAC__Frame& frame, const FLAC__int32* const channels[]);

  ByteSource& source_;
  system::OwnedHandle<FLAC__StreamDecoder, FLAC__stream_decoder_delete> decoder_;
  PcmFormat format_;
  std::optional<std::uint64_t> length_;
  double bytesPerSecond_ = 88200;
  bool infoSeen_ = false;
  std::optional<ReplayGain> replayGain_;
  // A block whose layout differs from the stream information ends the stream.
  bool layoutChanged_ = false;
  // Decoded samples not handed out yet, from pendingAt_ on.
  std::vector<std::int16_t> pending_;
  std::size_t pendingAt_ = 0;
};

}  // namespace platform::audio
