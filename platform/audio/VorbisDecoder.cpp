#include "platform/audio/VorbisDecoder.h"

#include <cstdio>

#include "platform/audio/CallbackGuard.h"

namespace platform::audio {
namespace {

size_t readSource(void* out, size_t size, size_t count, void* handle) {
  if (size == 0) return 0;
  return guardCallback<size_t>(0, [&] { return static_cast<ByteSource*>(handle)->read(out, size * count) / size; });
}

int seekSource(void* handle, ogg_int64_t offset, int whence) {
  return guardCallback(-1, [&] { return static_cast<ByteSource*>(handle)->seekRelative(offset, whence) ? 0 : -1; });
}

long tellSource(void* handle) {
  return guardCallback(-1L, [&] { return static_cast<long>(static_cast<ByteSource*>(handle)->tell()); });
}

}  // namespace

std::unique_ptr<VorbisDecoder> VorbisDecoder::open(ByteSource& source) {
  std::unique_ptr<VorbisDecoder> decoder(new VorbisDecoder(source));
  if (!decoder->openFile(source.complete())) return nullptr;
  vorbis_info* info = ov_info(&decoder->file_, -1);
  if (info == nullptr || info->rate <= 0 || info->channels < 1 || info->channels > 8) {
    return nullptr;
  }
  decoder->format_ = PcmFormat{static_cast<int>(info->rate), info->channels};
  long bitrate = ov_bitrate(&decoder->file_, -1);
  if (bitrate <= 0) bitrate = info->bitrate_nominal;
  if (bitrate > 0) decoder->bytesPerSecond_ = bitrate / 8.0;
  if (vorbis_comment* comments = ov_comment(&decoder->file_, -1)) {
    decoder->replayGain_ = replayGainFromTags(vorbis_comment_query(comments, "REPLAYGAIN_TRACK_GAIN", 0),
                                              vorbis_comment_query(comments, "REPLAYGAIN_TRACK_PEAK", 0));
  }
  return decoder;
}

bool VorbisDecoder::openFile(bool seekable) {
  seekable_ = seekable;
  ov_callbacks callbacks{readSource, seekable ? seekSource : nullptr, nullptr, tellSource};
  if (ov_open_callbacks(&source_, &file_, nullptr, 0, callbacks) != 0) return false;
  opened_ = true;
  if (seekable) {
    ogg_int64_t total = ov_pcm_total(&file_, -1);
    if (total >= 0) length_ = static_cast<std::uint64_t>(total);
  }
  return true;
}

void VorbisDecoder::sourceCompleted() {
  if (seekable_ || !opened_) return;
  // Now every byte is there: open again as a seekable file and go on at the same sample,
  // which libvorbisfile finds exactly.
  ogg_int64_t position = ov_pcm_tell(&file_);
  ov_clear(&file_);
  opened_ = false;
  if (!source_.seek(0) || !openFile(true) || position < 0) return;
  if (ov_pcm_seek(&file_, position) != 0) seekable_ = false;
}

VorbisDecoder::~VorbisDecoder() {
  if (opened_) ov_clear(&file_);
}

std::size_t VorbisDecoder::read(std::uint8_t* out, std::size_t size) {
  if (!opened_) return 0;
  std::size_t frameBytes = static_cast<std::size_t>(format_.frameBytes());
  size -= size % frameBytes;
  std::size_t total = 0;
  int damaged = 0;
  while (total < size) {
    int section = 0;
    long n = ov_read(&file_, reinterpret_cast<char*>(out + total), static_cast<int>(size - total),
                     0, 2, 1, &section);
    if (n == OV_HOLE && ++damaged < 16) continue;  // a gap in the data; decoding goes on
    if (n <= 0) break;
    vorbis_info* info = ov_info(&file_, section);
    // A chained stream whose next link changes the layout ends here.
    if (info == nullptr || PcmFormat{static_cast<int>(info->rate), info->channels} != format_) {
      break;
    }
    total += static_cast<std::size_t>(n);
  }
  return total - total % frameBytes;
}

bool VorbisDecoder::seek(std::uint64_t frame) {
  if (!seekable_ || !opened_) return false;
  return ov_pcm_seek(&file_, static_cast<ogg_int64_t>(frame)) == 0;
}

}  // namespace platform::audio
