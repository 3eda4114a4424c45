#include "platform/audio/FlacDecoder.h"

#include <FLAC/metadata.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/audio/CallbackGuard.h"

namespace platform::audio {

struct FlacCallbacks {
  static FlacDecoder& self(void* client) { return *static_cast<FlacDecoder*>(client); }

  static FLAC__StreamDecoderReadStatus read(const FLAC__StreamDecoder*, FLAC__byte buffer[],
                                            size_t* bytes, void* client) {
    std::size_t got = guardCallback<std::size_t>(0, [&] { return self(client).source_.read(buffer, *bytes); });
    *bytes = got;
    return got > 0 ? FLAC__STREAM_DECODER_READ_STATUS_CONTINUE
                   : FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
  }

  static FLAC__StreamDecoderSeekStatus seek(const FLAC__StreamDecoder*, FLAC__uint64 offset, void* client) {
    bool moved = guardCallback(false, [&] { return self(client).source_.seek(offset); });
    return moved ? FLAC__STREAM_DECODER_SEEK_STATUS_OK : FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
  }

  static FLAC__StreamDecoderTellStatus tell(const FLAC__StreamDecoder*, FLAC__uint64* offset, void* client) {
    *offset = self(client).source_.tell();
    return FLAC__STREAM_DECODER_TELL_STATUS_OK;
  }

  static FLAC__StreamDecoderLengthStatus length(const FLAC__StreamDecoder*, FLAC__uint64* length, void* client) {
    auto size = self(client).source_.size();
    if (!size) return FLAC__STREAM_DECODER_LENGTH_STATUS_UNSUPPORTED;
    *length = *size;
    return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
  }

  static FLAC__bool eof(const FLAC__StreamDecoder*, void* client) {
    const ByteSource& source = self(client).source_;
    auto size = source.size();
    return size && source.tell() >= *size;
  }

  static FLAC__StreamDecoderWriteStatus write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                              const FLAC__int32* const buffer[], void* client) {
    bool taken = guardCallback(false, [&] { return self(client).takeBlock(*frame, buffer); });
    return taken ? FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE : FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
  }

  static void metadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* block, void* client) {
    if (block->type == FLAC__METADATA_TYPE_STREAMINFO) self(client).takeStreamInfo(block->data.stream_info);
    if (block->type == FLAC__METADATA_TYPE_VORBIS_COMMENT) self(client).takeComments(*block);
  }

  // Damaged frames are reported here; libFLAC resynchronises (and stands in silence for a
  // frame that fails its checksum), so playback simply goes on.
  static void error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void*) {}
};

namespace {

std::int16_t toSixteenBits(FLAC__int32 sample, unsigned bits) {
  if (bits == 16) return static_cast<std::int16_t>(sample);
  if (bits < 16) return static_cast<std::int16_t>(sample * (1 << (16 - bits)));
  unsigned shift = bits - 16;
  std::int64_t rounded = (static_cast<std::int64_t>(sample) + (std::int64_t{1} << (shift - 1))) >> shift;
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(rounded, -32768, 32767));
}

}  // namespace

std::unique_ptr<FlacDecoder> FlacDecoder::open(ByteSource& source) {
  std::unique_ptr<FlacDecoder> decoder(new FlacDecoder(source));
  decoder->decoder_.reset(FLAC__stream_decoder_new());
  FLAC__StreamDecoder* flac = decoder->decoder_.get();
  if (flac == nullptr) return nullptr;
  FLAC__stream_decoder_set_metadata_respond(flac, FLAC__METADATA_TYPE_VORBIS_COMMENT);
  if (FLAC__stream_decoder_init_stream(flac, FlacCallbacks::read, FlacCallbacks::seek, FlacCallbacks::tell,
                                       FlacCallbacks::length, FlacCallbacks::eof, FlacCallbacks::write,
                                       FlacCallbacks::metadata, FlacCallbacks::error,
                                       decoder.get()) != FLAC__STREAM_DECODER_INIT_STATUS_OK) {
    return nullptr;
  }
  if (!FLAC__stream_decoder_process_until_end_of_metadata(flac) || !decoder->infoSeen_) return nullptr;
  return decoder;
}

FlacDecoder::~FlacDecoder() {
  if (decoder_) FLAC__stream_decoder_finish(decoder_.get());
}

void FlacDecoder::takeComments(const FLAC__StreamMetadata& block) {
  auto value = [&](const char* name) -> std::string {
    int at = FLAC__metadata_object_vorbiscomment_find_entry_from(&block, 0, name);
    if (at < 0) return {};
    const FLAC__StreamMetadata_VorbisComment_Entry& entry =
        block.data.vorbis_comment.comments[static_cast<unsigned>(at)];
    std::string_view text(reinterpret_cast<const char*>(entry.entry), entry.length);
    auto equals = text.find('=');
    return equals == std::string_view::npos ? std::string() : std::string(text.substr(equals + 1));
  };
  std::string gain = value("REPLAYGAIN_TRACK_GAIN");
  std::string peak = value("REPLAYGAIN_TRACK_PEAK");
  replayGain_ = replayGainFromTags(gain.empty() ? nullptr : gain.c_str(), peak.empty() ? nullptr : peak.c_str());
}

void FlacDecoder::takeStreamInfo(const FLAC__StreamMetadata_StreamInfo& info) {
  if (infoSeen_ || info.sample_rate == 0 || info.channels < 1 || info.channels > 8) return;
  infoSeen_ = true;
  format_ = PcmFormat{static_cast<int>(info.sample_rate), static_cast<int>(info.channels)};
  if (info.total_samples > 0) length_ = info.total_samples;
  // A guess at half the PCM rate until the size and the length say better.
  bytesPerSecond_ = info.sample_rate * info.channels * info.bits_per_sample / 16.0;
  auto size = source_.size();
  if (size && length_) bytesPerSecond_ = static_cast<double>(*size) * info.sample_rate / static_cast<double>(*length_);
}

bool FlacDecoder::takeBlock(const FLAC__Frame& frame, const FLAC__int32* const channels[]) {
  const FLAC__FrameHeader& header = frame.header;
  if (static_cast<int>(header.channels) != format_.channels ||
      static_cast<int>(header.sample_rate) != format_.rate || header.bits_per_sample < 4 ||
      header.bits_per_sample > 32) {
    layoutChanged_ = true;
    return false;
  }
  if (pendingAt_ == pending_.size()) {
    pending_.clear();
    pendingAt_ = 0;
  }
  std::size_t start = pending_.size();
  pending_.resize(start + static_cast<std::size_t>(header.blocksize) * header.channels);
  std::int16_t* out = pending_.data() + start;
  for (unsigned i = 0; i < header.blocksize; ++i) {
    for (unsigned c = 0; c < header.channels; ++c) *out++ = toSixteenBits(channels[c][i], header.bits_per_sample);
  }
  return true;
}

std::size_t FlacDecoder::read(std::uint8_t* out, std::size_t size) {
  std::size_t frameBytes = static_cast<std::size_t>(format_.frameBytes());
  size -= size % frameBytes;
  std::size_t total = 0;
  FLAC__StreamDecoder* flac = decoder_.get();
  while (total < size) {
    if (pendingAt_ == pending_.size()) {
      if (layoutChanged_) break;
      FLAC__StreamDecoderState state = FLAC__stream_decoder_get_state(flac);
      if (state >= FLAC__STREAM_DECODER_END_OF_STREAM) break;  // the end, or damage it gave up on
      if (!FLAC__stream_decoder_process_single(flac)) break;
      continue;
    }
    std::size_t n = std::min(size - total, (pending_.size() - pendingAt_) * sizeof(std::int16_t));
    std::memcpy(out + total, pending_.data() + pendingAt_, n);
    pendingAt_ += n / sizeof(std::int16_t);
    total += n;
  }
  return total;
}

bool FlacDecoder::seek(std::uint64_t frame) {
  FLAC__StreamDecoder* flac = decoder_.get();
  pending_.clear();
  pendingAt_ = 0;
  layoutChanged_ = false;
  // An aborted decode or a failed seek leaves libFLAC refusing work until it is flushed.
  if (FLAC__stream_decoder_get_state(flac) > FLAC__STREAM_DECODER_END_OF_STREAM) FLAC__stream_decoder_flush(flac);
  // libFLAC will not seek onto the end itself; there is nothing left to decode there.
  if (length_ && frame >= *length_) {
    return frame == *length_ && FLAC__stream_decoder_flush(flac) && source_.seekRelative(0, SEEK_END);
  }
  // The block holding the target arrives through the write callback, cut to start there.
  if (FLAC__stream_decoder_seek_absolute(flac, frame)) return true;
  pending_.clear();
  FLAC__stream_decoder_flush(flac);
  return false;
}

}  // namespace platform::audio
