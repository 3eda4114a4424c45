#include "platform/audio/Channel.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numeric>

#include "platform/audio/Bass.h"

namespace platform::audio {
namespace {

using namespace std::chrono_literals;

// A quarter second per decode step and a second of PCM ahead: the decoder thread wakes a
// few times a second and an output never finds the ring short while a step runs.
constexpr int kBlocksPerSecond = 4;
constexpr std::size_t kRingBlocks = 4;
// A live output that has been short for this long reports the channel stalled.
constexpr int kStallAfterMs = 100;

std::size_t blockBytesFor(const PcmFormat& format) {
  std::size_t frames = std::max<std::size_t>(static_cast<std::size_t>(format.rate / kBlocksPerSecond), 2048);
  return frames * static_cast<std::size_t>(format.frameBytes());
}

}  // namespace

Channel::Channel(std::unique_ptr<ByteSource> source, std::unique_ptr<Decoder> decoder,
                 std::uint64_t tagBytes, NetworkSource* network, Device device)
    : source_(std::move(source)),
      network_(network),
      tagBytes_(tagBytes),
      format_(decoder->format()),
      device_(device),
      encodedBytesPerSecond_(decoder->encodedBytesPerSecond()),
      replayGain_(replayGainEnabled() && decoder->replayGain() ? replayGainFactor(*decoder->replayGain()) : 1.0f),
      blockBytes_(blockBytesFor(format_)),
      readAheadBytes_(std::clamp<std::uint64_t>(
          static_cast<std::uint64_t>(encodedBytesPerSecond_ * 1.6 / kBlocksPerSecond), 8192, 262144)),
      decoder_(std::move(decoder)),
      ring_(blockBytes_ * kRingBlocks),
      lengthFrames_(decoder_->lengthFrames()) {
  if (format_ != device_.format) {
    converter_.reset(SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(format_.channels),
                                    format_.rate, AUDIO_S16SYS,
                                    static_cast<Uint8>(device_.format.channels),
                                    device_.format.rate));
  }
  // Sized once here so that rendering never allocates.
  scratch_.resize(static_cast<std::size_t>(kMaxRenderFrames) * static_cast<std::size_t>(device_.format.channels));
  raw_.resize(4096 * static_cast<std::size_t>(format_.frameBytes()));
  decoderThread_ = std::thread([this] { decodeLoop(); });
}

Channel::~Channel() { shutdown(); }

void Channel::shutdown() {
  {
    std::lock_guard lock(mutex_);
    shutdown_ = true;
    state_ = State::Stopped;
  }
  ready_.notify_all();
  decoderWake_.set();
  if (network_ != nullptr) network_->cancel();
  if (decoderThread_.joinable() && decoderThread_.get_id() != std::this_thread::get_id()) {
    decoderThread_.join();
  }
}

std::uint64_t Channel::prebufferBytes() const { return prebufferFor(encodedBytesPerSecond_); }

std::uint64_t Channel::prebufferFor(double encodedBytesPerSecond) {
  constexpr double kNetBufferSeconds = 5.0;
  constexpr double kPrebufferShare = 0.75;
  return static_cast<std::uint64_t>(encodedBytesPerSecond * kNetBufferSeconds * kPrebufferShare);
}

bool Channel::readyToResume() const {
  bool dataThere = network_ == nullptr || network_->finished() ||
                   network_->bytesAhead() >= prebufferBytes();
  bool pcmThere = decoderEnded_ || ring_.size() >= ring_.capacity() / 2;
  return dataThere && pcmThere;
}

void Channel::decodeLoop() {
  const std::size_t chunkBytes = blockBytes_;
  std::vector<std::uint8_t> chunk(chunkBytes);
  bool completionSeen = network_ == nullptr;
  for (;;) {
    bool room = false;
    {
      std::unique_lock lock(mutex_);
      auto work = [&] { return shutdown_ || (!seeking_ && !decoderEnded_ && ring_.room() >= chunkBytes); };
      if (!work()) {
        decoderWaiting_ = true;
        lock.unlock();
        // A download can complete while the ring is full; look now and then.
        if (completionSeen) {
          decoderWake_.wait();
        } else {
          decoderWake_.waitFor(100ms);
        }
        lock.lock();
        decoderWaiting_ = false;
      }
      if (shutdown_) return;
      room = work();
    }
    if (!completionSeen && network_->complete()) {
      std::lock_guard decoding(decoderMutex_);
      completionSeen = true;
      decoder_->sourceCompleted();
      std::lock_guard lock(mutex_);
      lengthFrames_ = decoder_->lengthFrames();
    }
    if (!room) continue;
    // Wait for the download here, holding nothing, so that seeks and frees are not held up.
    if (network_ != nullptr && !network_->waitAhead(readAheadBytes_, 50ms)) continue;

    std::lock_guard decoding(decoderMutex_);
    // Read under decoderMutex_: a seek finishes its reset before it lets the decoder go,
    // so a later change means a seek began while this chunk was being decoded.
    std::uint64_t generation = 0;
    {
      std::lock_guard lock(mutex_);
      if (shutdown_ || seeking_ || decoderEnded_ || ring_.room() < chunkBytes) continue;
      generation = generation_;
    }
    std::size_t got = decoder_->read(chunk.data(), chunkBytes);
    {
      std::lock_guard lock(mutex_);
      if (generation != generation_ || shutdown_) continue;
      if (got == 0) {
        decoderEnded_ = true;
      } else {
        ring_.push(chunk.data(), got);
        decoded_ += got;
      }
    }
    ready_.notify_all();
  }
}

bool Channel::play(bool restart, int& error) {
  bool atStart = false;
  {
    std::lock_guard lock(mutex_);
    atStart = heard_ == 0;
  }
  // Nothing heard yet means the decoder is still at the start: no seek, which streams
  // that cannot seek (or whose length is not known yet) could not do.
  if (restart && !atStart && !setPosition(0, error)) return false;
  std::lock_guard lock(mutex_);
  if (state_ != State::Playing) {
    buffering_ = network_ != nullptr && !network_->finished() &&
                 network_->bytesAhead() < prebufferBytes();
  }
  state_ = State::Playing;
  return true;
}

bool Channel::pause(int& error) {
  std::lock_guard lock(mutex_);
  if (state_ == State::Paused) {
    error = BASS_ERROR_ALREADY;
    return false;
  }
  if (state_ != State::Playing) {
    error = BASS_ERROR_NOPLAY;
    return false;
  }
  state_ = State::Paused;
  ready_.notify_all();
  return true;
}

void Channel::stop() {
  {
    std::lock_guard lock(mutex_);
    state_ = State::Stopped;
    buffering_ = false;
  }
  ready_.notify_all();  // an output waiting for this channel's decoder lets go at once
}

std::uint32_t Channel::activity() {
  std::lock_guard lock(mutex_);
  switch (state_) {
    case State::Playing:
      return buffering_ ? BASS_ACTIVE_STALLED : BASS_ACTIVE_PLAYING;
    case State::Paused:
      return BASS_ACTIVE_PAUSED;
    case State::Stopped:
      break;
  }
  return BASS_ACTIVE_STOPPED;
}

std::uint64_t Channel::position() {
  std::lock_guard lock(mutex_);
  return heard_;
}

std::optional<std::uint64_t> Channel::lengthBytes() {
  std::lock_guard lock(mutex_);
  if (!lengthFrames_) return std::nullopt;
  return *lengthFrames_ * static_cast<std::uint64_t>(format_.frameBytes());
}

bool Channel::setPosition(std::uint64_t bytes, int& error) {
  std::uint64_t frameBytes = static_cast<std::uint64_t>(format_.frameBytes());
  std::uint64_t frame = bytes / frameBytes;
  std::uint64_t oldFrame = 0;
  {
    std::lock_guard lock(mutex_);
    if (frame > 0 && (!lengthFrames_ || frame > *lengthFrames_)) {
      error = BASS_ERROR_POSITION;
      return false;
    }
    seeking_ = true;
    ++generation_;
    oldFrame = heard_ / frameBytes;
  }
  ready_.notify_all();

  bool moved = false;
  {
    std::lock_guard decoding(decoderMutex_);
    bool beyondDownload = false;
    // The start needs no Range request: a plain request gives it.
    if (network_ != nullptr && frame > 0 && !network_->complete()) {
      auto size = network_->size();
      std::uint64_t frames = 0;
      {
        std::lock_guard lock(mutex_);
        frames = lengthFrames_.value_or(0);
      }
      if (size && *size > tagBytes_ && frames > 0) {
        double share = static_cast<double>(frame) / static_cast<double>(frames);
        auto estimate = static_cast<std::uint64_t>(tagBytes_ + share * (*size - tagBytes_));
        beyondDownload = estimate >= network_->downloadEnd() || estimate < network_->downloadStart();
      } else {
        beyondDownload = true;
      }
    }
    if (!beyondDownload) {
      moved = decoder_->seek(frame);
    } else if (network_->acceptsRanges()) {
      moved = decoder_->seekApproximately(frame);
    }
    if (!moved) decoder_->seek(oldFrame);

    std::lock_guard lock(mutex_);
    seeking_ = false;
    ++generation_;
    ring_.clear();
    resetConverter();
    decoderEnded_ = false;
    heard_ = decoded_ = (moved ? frame : oldFrame) * frameBytes;
  }
  ready_.notify_all();
  decoderWake_.set();
  if (!moved) error = BASS_ERROR_POSITION;
  return moved;
}

void Channel::resetConverter() {
  if (converter_) SDL_AudioStreamClear(converter_.get());
  convertedIn_ = convertedOut_ = 0;
}

float Channel::volume() {
  std::lock_guard lock(mutex_);
  return volume_.at(device_.clock->load());
}

void Channel::setVolume(float value) {
  std::lock_guard lock(mutex_);
  volume_.set(std::max(0.0f, value));
}

void Channel::slideVolume(float value, std::uint32_t milliseconds) {
  std::uint64_t frames = static_cast<std::uint64_t>(milliseconds) *
                         static_cast<std::uint64_t>(device_.format.rate) / 1000;
  std::lock_guard lock(mutex_);
  volume_.slide(std::max(0.0f, value), device_.clock->load(), frames);
}

bool Channel::filePosition(std::uint32_t mode, std::uint64_t& value, int& error) {
  auto untagged = [&](std::uint64_t offset) { return offset > tagBytes_ ? offset - tagBytes_ : 0; };
  auto size = source_->size();
  switch (mode) {
    case BASS_FILEPOS_CURRENT:
      value = untagged(source_->tell());
      return true;
    case BASS_FILEPOS_START:
      value = tagBytes_;
      return true;
    case BASS_FILEPOS_DOWNLOAD:
    case BASS_FILEPOS_BUFFER:
      if (network_ != nullptr) {
        std::uint64_t end = network_->downloadEnd();
        // What the buffer holds: less than the download once played bytes were dropped.
        std::uint64_t from = mode == BASS_FILEPOS_BUFFER ? std::max(network_->downloadStart(), tagBytes_) : tagBytes_;
        value = end > from ? end - from : 0;
        return true;
      }
      if (mode == BASS_FILEPOS_BUFFER) break;
      [[fallthrough]];
    case BASS_FILEPOS_END:
      if (!size) {
        error = BASS_ERROR_NOTAVAIL;
        return false;
      }
      value = untagged(*size);
      return true;
    case BASS_FILEPOS_SIZE:
      if (!size) {
        error = BASS_ERROR_NOTAVAIL;
        return false;
      }
      value = *size;
      return true;
    case BASS_FILEPOS_CONNECTED:
      if (network_ == nullptr) break;
      value = network_->connected() ? 1 : 0;
      return true;
    case BASS_FILEPOS_BUFFERING: {
      if (network_ == nullptr) break;
      std::lock_guard lock(mutex_);
      std::uint64_t need = std::max<std::uint64_t>(prebufferBytes(), 1);
      if (state_ != State::Playing || !buffering_ || network_->finished()) {
        value = 0;
      } else {
        value = 100 - std::min<std::uint64_t>(100, network_->bytesAhead() * 100 / need);
      }
      return true;
    }
    default:
      error = BASS_ERROR_ILLTYPE;
      return false;
  }
  error = BASS_ERROR_NOTFILE;
  return false;
}

int Channel::pullFrames(int frames) {
  std::size_t frameBytes = static_cast<std::size_t>(format_.frameBytes());
  std::size_t deviceFrameBytes = static_cast<std::size_t>(device_.format.frameBytes());
  auto* out = reinterpret_cast<std::uint8_t*>(scratch_.data());
  if (!converter_) {
    std::size_t bytes = ring_.pop(out, static_cast<std::size_t>(frames) * frameBytes);
    heard_ += bytes;
    return static_cast<int>(bytes / frameBytes);
  }
  int wanted = frames * static_cast<int>(deviceFrameBytes);
  // SDL's resampler starts each put afresh at output phase zero and drops the fraction of a
  // frame left at its end: puts of whole steps (the input frames that make a whole number
  // of output frames) keep it from drifting and clicking at every put.
  std::size_t step = static_cast<std::size_t>(format_.rate / std::gcd(format_.rate, device_.format.rate)) * frameBytes;
  bool stepFits = step <= raw_.size();
  std::size_t chunk = stepFits ? raw_.size() / step * step : raw_.size();
  while (SDL_AudioStreamAvailable(converter_.get()) < wanted && ring_.size() > 0) {
    std::size_t take = std::min(chunk, ring_.size());
    if (stepFits && !decoderEnded_) take -= take % step;
    if (take == 0) break;
    std::size_t bytes = ring_.pop(raw_.data(), take);
    SDL_AudioStreamPut(converter_.get(), raw_.data(), static_cast<int>(bytes));
    heard_ += bytes;
    convertedIn_ += bytes / frameBytes;
  }
  if (decoderEnded_ && ring_.size() == 0) {
    // SDL's flush keeps the resampler's look-ahead back; push silence through instead and
    // stop at the frame count the input stands for.
    std::uint64_t pending = convertPending();
    std::fill(raw_.begin(), raw_.end(), 0);
    for (int i = 0; i < 8 && static_cast<std::uint64_t>(SDL_AudioStreamAvailable(converter_.get())) <
                                 pending * deviceFrameBytes; ++i) {
      SDL_AudioStreamPut(converter_.get(), raw_.data(), static_cast<int>(raw_.size()));
    }
    wanted = static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(wanted),
                                                      pending * deviceFrameBytes));
  }
  int got = wanted > 0 ? SDL_AudioStreamGet(converter_.get(), out, wanted) : 0;
  int gotFrames = got > 0 ? got / static_cast<int>(deviceFrameBytes) : 0;
  convertedOut_ += static_cast<std::uint64_t>(gotFrames);
  return gotFrames;
}

std::uint64_t Channel::convertPending() const {
  std::uint64_t expected = convertedIn_ * static_cast<std::uint64_t>(device_.format.rate) /
                           static_cast<std::uint64_t>(format_.rate);
  return expected > convertedOut_ ? expected - convertedOut_ : 0;
}

int Channel::render(std::int32_t* mix, int frames, Pace pace, bool* ended) {
  frames = std::min(frames, kMaxRenderFrames);
  std::unique_lock lock(mutex_);
  auto idle = [&] { return state_ != State::Playing || seeking_ || shutdown_; };
  if (idle()) return 0;
  if (buffering_) {
    if (!readyToResume()) return 0;
    buffering_ = false;
    starvedFrames_ = 0;
  }
  bool bytesAtHand = network_ == nullptr || network_->finished() ||
                     network_->bytesAhead() >= readAheadBytes_;
  if (pace == Pace::MayWait && bytesAtHand) {
    // The bytes are there: wait for the decoder rather than leave a gap in what is heard.
    std::size_t frameBytes = static_cast<std::size_t>(format_.frameBytes());
    std::size_t need = static_cast<std::size_t>(
        std::ceil(static_cast<double>(frames) * format_.rate / device_.format.rate)) * frameBytes;
    need = std::min(need, ring_.capacity() / 2);
    ready_.wait_for(lock, 200ms, [&] { return ring_.size() >= need || decoderEnded_ || idle(); });
    if (idle()) return 0;
  }

  int got = pullFrames(frames);
  mixScratch(mix, got);
  if (got < frames) {
    bool drained = decoderEnded_ && ring_.size() == 0 &&
                   (!converter_ || convertPending() == 0);
    starvedFrames_ += static_cast<std::uint64_t>(frames - got);
    if (drained && ended != nullptr) {
      *ended = true;  // the caller stops it, once a follower plays
    } else if (drained) {
      state_ = State::Stopped;
    } else if (network_ != nullptr ||
               starvedFrames_ * 1000 >= static_cast<std::uint64_t>(device_.format.rate) * kStallAfterMs) {
      buffering_ = true;
    }
  } else {
    starvedFrames_ = 0;
  }
  // Wake the decoder only when a whole step fits: one wake per step, not per render.
  bool wakeDecoder = decoderWaiting_ && ring_.room() >= blockBytes_;
  bool stopped = state_ == State::Stopped;
  lock.unlock();
  if (wakeDecoder) decoderWake_.set();
  if (stopped) ready_.notify_all();
  return got;
}

void Channel::endPlay() {
  {
    std::lock_guard lock(mutex_);
    if (state_ == State::Playing) state_ = State::Stopped;
  }
  ready_.notify_all();
}

void Channel::mixScratch(std::int32_t* mix, int frames) {
  int channels = device_.format.channels;
  std::size_t samples = static_cast<std::size_t>(frames) * static_cast<std::size_t>(channels);
  const std::int16_t* pcm = scratch_.data();
  std::uint64_t clock = device_.clock->load();
  if (!volume_.sliding(clock)) {
    float gain = volume_.at(clock) * replayGain_;
    if (gain == 1.0f) {
      for (std::size_t i = 0; i < samples; ++i) mix[i] += pcm[i];
      return;
    }
    for (std::size_t i = 0; i < samples; ++i) mix[i] += static_cast<std::int32_t>(std::lrint(pcm[i] * gain));
  } else {
    for (int frame = 0; frame < frames; ++frame) {
      float gain = volume_.at(clock + static_cast<std::uint64_t>(frame)) * replayGain_;
      for (int c = 0; c < channels; ++c) {
        std::size_t i = static_cast<std::size_t>(frame * channels + c);
        mix[i] += static_cast<std::int32_t>(std::lrint(pcm[i] * gain));
      }
    }
  }
}

}  // namespace platform::audio
