#include "platform/audio/OggOpusDecoder.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "platform/audio/CallbackGuard.h"

namespace platform::audio {
namespace {

int readSource(void* handle, unsigned char* out, int size) {
  if (size <= 0) return 0;
  return guardCallback(-1, [&] {
    return static_cast<int>(static_cast<ByteSource*>(handle)->read(out, static_cast<std::size_t>(size)));
  });
}

int seekSource(void* handle, opus_int64 offset, int whence) {
  return guardCallback(-1, [&] { return static_cast<ByteSource*>(handle)->seekRelative(offset, whence) ? 0 : -1; });
}

opus_int64 tellSource(void* handle) {
  return guardCallback<opus_int64>(
      -1, [&] { return static_cast<opus_int64>(static_cast<ByteSource*>(handle)->tell()); });
}

}  // namespace

std::unique_ptr<OggOpusDecoder> OggOpusDecoder::open(ByteSource& source) {
  std::unique_ptr<OggOpusDecoder> decoder(new OggOpusDecoder(source));
  if (!decoder->openFile(source.complete())) return nullptr;
  return decoder;
}

OggOpusDecoder::~OggOpusDecoder() = default;

bool OggOpusDecoder::openFile(bool seekable) {
  seekable_ = seekable;
  OpusFileCallbacks callbacks{readSource, seekable ? seekSource : nullptr, tellSource, nullptr};
  int error = 0;
  file_.reset(op_open_callbacks(&source_, &callbacks, nullptr, 0, &error));
  if (!file_) return false;
  length_.reset();
  // R128 gains refer to -23 LUFS, ReplayGain's to 5 dB louder; opusfile has applied the
  // header's output gain already.
  int q8 = 0;
  if (const OpusTags* tags = op_tags(file_.get(), -1); tags != nullptr && opus_tags_get_track_gain(tags, &q8) == 0) {
    replayGain_ = ReplayGain{q8 / 256.0 + 5.0, std::nullopt};
  }
  if (seekable) {
    ogg_int64_t total = op_pcm_total(file_.get(), -1);
    if (total >= 0) length_ = static_cast<std::uint64_t>(total);
    opus_int64 bytes = op_raw_total(file_.get(), -1);
    if (total > 0 && bytes > 0) bytesPerSecond_ = static_cast<double>(bytes) * kRate / static_cast<double>(total);
  } else if (opus_int32 bitrate = op_bitrate(file_.get(), -1); bitrate > 0) {
    bytesPerSecond_ = bitrate / 8.0;
  }
  return true;
}

void OggOpusDecoder::sourceCompleted() {
  if (seekable_ || !file_) return;
  // Every byte is there now: open again as a seekable file and go on at the same sample,
  // which libopusfile finds exactly.
  ogg_int64_t position = op_pcm_tell(file_.get());
  file_.reset();
  if (position < 0 || !source_.seek(0) || !openFile(true)) return;
  if (op_pcm_seek(file_.get(), position) != 0) seekable_ = false;
}

std::size_t OggOpusDecoder::read(std::uint8_t* out, std::size_t size) {
  if (!file_) return 0;
  auto* samples = reinterpret_cast<opus_int16*>(out);
  std::size_t wanted = size / 4 * 2;  // whole stereo frames, counted in samples
  std::size_t total = 0;
  int damaged = 0;
  while (total < wanted) {
    int room = static_cast<int>(std::min<std::size_t>(wanted - total, INT_MAX / 2));
    int frames = op_read_stereo(file_.get(), samples + total, room);
    if (frames == OP_HOLE && ++damaged < 16) continue;  // a gap in the data; decoding goes on
    if (frames <= 0) break;
    total += static_cast<std::size_t>(frames) * 2;
  }
  return total * sizeof(opus_int16);
}

bool OggOpusDecoder::seek(std::uint64_t frame) {
  if (!seekable_ || !file_) return false;
  return op_pcm_seek(file_.get(), static_cast<ogg_int64_t>(frame)) == 0;
}

}  // namespace platform::audio
