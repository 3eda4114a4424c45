#include "platform/audio/Mp3Decoder.h"

#include <sys/types.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/audio/CallbackGuard.h"
#include "platform/audio/Id3GainTags.h"

namespace platform::audio {
namespace {

bool libraryReady() {
  static const bool ready = mpg123_init() == MPG123_OK;
  return ready;
}

mpg123_ssize_t readSource(void* handle, void* out, size_t size) {
  return guardCallback<mpg123_ssize_t>(
      -1, [&] { return static_cast<mpg123_ssize_t>(static_cast<ByteSource*>(handle)->read(out, size)); });
}

off_t seekSource(void* handle, off_t offset, int whence) {
  return guardCallback<off_t>(-1, [&] {
    auto target = static_cast<ByteSource*>(handle)->seekRelative(offset, whence);
    return target ? static_cast<off_t>(*target) : static_cast<off_t>(-1);
  });
}

}  // namespace

Mp3Decoder::Mp3Decoder(ByteSource& source) : source_(source) {}

Mp3Decoder::~Mp3Decoder() = default;

std::unique_ptr<Mp3Decoder> Mp3Decoder::open(ByteSource& source) {
  if (!libraryReady()) return nullptr;
  std::unique_ptr<Mp3Decoder> decoder(new Mp3Decoder(source));
  if (!decoder->start()) return nullptr;
  return decoder;
}

Mp3Decoder::Handle Mp3Decoder::newHandle(ByteSource& source) {
  int error = 0;
  Handle owned(mpg123_new(nullptr, &error));
  mpg123_handle* handle = owned.get();
  if (handle == nullptr) return nullptr;
  // The ID3v2 tag is kept raw and read here for its gain: libmpg123's own frame parser, as
  // cross-built for Windows, loops forever on a TXXX frame.
  mpg123_param(handle, MPG123_ADD_FLAGS,
               MPG123_GAPLESS | MPG123_QUIET | MPG123_SKIP_ID3V2 | MPG123_STORE_RAW_ID3, 0);
  mpg123_param(handle, MPG123_REMOVE_FLAGS, MPG123_FUZZY, 0);
  mpg123_format_none(handle);
  const long* rates = nullptr;
  size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (size_t i = 0; i < rateCount; ++i) {
    mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  }
  if (mpg123_replace_reader_handle(handle, readSource, seekSource, nullptr) != MPG123_OK ||
      mpg123_open_handle(handle, &source) != MPG123_OK) {
    return nullptr;
  }
  if (auto size = source.size()) mpg123_set_filesize(handle, static_cast<off_t>(*size));
  return owned;
}

bool Mp3Decoder::start() {
  handle_ = newHandle(source_);
  if (!handle_) return false;
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_getformat(handle_.get(), &rate, &channels, &encoding) != MPG123_OK) return false;
  if (rate <= 0 || channels < 1 || channels > 2 || encoding != MPG123_ENC_SIGNED_16) {
    return false;
  }
  format_ = PcmFormat{static_cast<int>(rate), channels};
  takeReplayGain();
  mpg123_frameinfo info{};
  if (mpg123_info(handle_.get(), &info) == MPG123_OK && info.bitrate > 0) {
    bytesPerSecond_ = info.bitrate * 1000.0 / 8.0;
  }
  // Without a Xing/Info frame libmpg123 guesses the length from the first frame's
  // bitrate; only a full scan is exact, and it needs every byte.
  if (source_.complete()) scanned_ = mpg123_scan(handle_.get()) == MPG123_OK;
  takeLength(handle_.get());
  return true;
}

void Mp3Decoder::takeReplayGain() {
  unsigned char* v1 = nullptr;
  size_t v1Size = 0;
  unsigned char* v2 = nullptr;
  size_t v2Size = 0;
  if (mpg123_id3_raw(handle_.get(), &v1, &v1Size, &v2, &v2Size) != MPG123_OK) return;
  Id3GainTags tags = id3GainTags(v2, v2Size);
  replayGain_ = replayGainFromTags(tags.gain ? tags.gain->c_str() : nullptr, tags.peak ? tags.peak->c_str() : nullptr);
}

void Mp3Decoder::takeLength(mpg123_handle* handle) {
  off_t samples = mpg123_length(handle);
  if (samples > 0) {
    length_ = static_cast<std::uint64_t>(samples);
  } else {
    length_.reset();
  }
  if (scanned_ && length_) {
    if (auto size = source_.size()) {
      bytesPerSecond_ = static_cast<double>(*size) * format_.rate / static_cast<double>(*length_);
    }
  }
}

void Mp3Decoder::sourceCompleted() {
  if (scanned_) return;
  // Scanning the playing handle would move its decoder; a second handle reads the same
  // bytes on its own.
  std::unique_ptr<ByteSource> view = source_.independentReader();
  if (!view) return;
  Handle scanner = newHandle(*view);
  if (!scanner) return;
  scanned_ = mpg123_scan(scanner.get()) == MPG123_OK;
  if (scanned_) takeLength(scanner.get());
}

std::size_t Mp3Decoder::read(std::uint8_t* out, std::size_t size) {
  std::size_t frameBytes = static_cast<std::size_t>(format_.frameBytes());
  size -= size % frameBytes;
  std::size_t total = 0;
  while (total < size) {
    size_t done = 0;
    int result = mpg123_read(handle_.get(), out + total, size - total, &done);
    total += done;
    if (result == MPG123_NEW_FORMAT) {
      long rate = 0;
      int channels = 0;
      int encoding = 0;
      mpg123_getformat(handle_.get(), &rate, &channels, &encoding);
      // A stream that changes its format midway cannot go on in the same PCM layout.
      if (PcmFormat{static_cast<int>(rate), channels} != format_) break;
      continue;
    }
    // Anything else is the end or damage past resync; what was decoded still plays.
    if (result != MPG123_OK || done == 0) break;
  }
  return total - total % frameBytes;
}

bool Mp3Decoder::seek(std::uint64_t frame) {
  return mpg123_seek(handle_.get(), static_cast<off_t>(frame), SEEK_SET) >= 0;
}

bool Mp3Decoder::seekApproximately(std::uint64_t frame) {
  // Fuzzy seeks guess the offset from the Xing table or the bitrate; they are not exact,
  // so they are only used where an exact seek would have to wait for the download.
  mpg123_param(handle_.get(), MPG123_ADD_FLAGS, MPG123_FUZZY, 0);
  bool moved = seek(frame);
  mpg123_param(handle_.get(), MPG123_REMOVE_FLAGS, MPG123_FUZZY, 0);
  return moved;
}

}  // namespace platform::audio
