#include "platform/audio/WavDecoder.h"

#include <cstdio>

#include "platform/audio/CallbackGuard.h"

namespace platform::audio {
namespace {

sf_count_t sourceLength(void* handle) {
  return guardCallback<sf_count_t>(-1, [&] {
    auto size = static_cast<ByteSource*>(handle)->size();
    return size ? static_cast<sf_count_t>(*size) : -1;
  });
}

sf_count_t seekSource(sf_count_t offset, int whence, void* handle) {
  return guardCallback<sf_count_t>(-1, [&] {
    auto target = static_cast<ByteSource*>(handle)->seekRelative(offset, whence);
    return target ? static_cast<sf_count_t>(*target) : -1;
  });
}

sf_count_t readSource(void* out, sf_count_t count, void* handle) {
  if (count <= 0) return 0;
  return guardCallback<sf_count_t>(0, [&] {
    return static_cast<sf_count_t>(
        static_cast<ByteSource*>(handle)->read(out, static_cast<std::size_t>(count)));
  });
}

sf_count_t writeNothing(const void*, sf_count_t, void*) { return 0; }

sf_count_t tellSource(void* handle) {
  return guardCallback<sf_count_t>(
      -1, [&] { return static_cast<sf_count_t>(static_cast<ByteSource*>(handle)->tell()); });
}

}  // namespace

std::unique_ptr<WavDecoder> WavDecoder::open(ByteSource& source) {
  std::unique_ptr<WavDecoder> decoder(new WavDecoder());
  SF_VIRTUAL_IO io{sourceLength, seekSource, readSource, writeNothing, tellSource};
  SF_INFO info{};
  decoder->file_.reset(sf_open_virtual(&io, SFM_READ, &info, &source));
  if (!decoder->file_) return nullptr;
  int container = info.format & SF_FORMAT_TYPEMASK;
  if ((container != SF_FORMAT_WAV && container != SF_FORMAT_WAVEX) || info.samplerate <= 0 ||
      info.channels < 1 || info.channels > 8) {
    return nullptr;
  }
  decoder->format_ = PcmFormat{info.samplerate, info.channels};
  if (info.frames >= 0) decoder->length_ = static_cast<std::uint64_t>(info.frames);
  if (auto size = source.size(); size && info.frames > 0) {
    decoder->bytesPerSecond_ =
        static_cast<double>(*size) * info.samplerate / static_cast<double>(info.frames);
  }
  return decoder;
}

WavDecoder::~WavDecoder() = default;

std::size_t WavDecoder::read(std::uint8_t* out, std::size_t size) {
  sf_count_t frames = static_cast<sf_count_t>(size / static_cast<std::size_t>(format_.frameBytes()));
  sf_count_t done = sf_readf_short(file_.get(), reinterpret_cast<short*>(out), frames);
  return done > 0 ? static_cast<std::size_t>(done) * static_cast<std::size_t>(format_.frameBytes())
                  : 0;
}

bool WavDecoder::seek(std::uint64_t frame) {
  return sf_seek(file_.get(), static_cast<sf_count_t>(frame), SEEK_SET) >= 0;
}

}  // namespace platform::audio
