#include "platform/audio/Engine.h"

#include <cstdlib>
#include <vector>

#include "platform/audio/PacedOutput.h"
#include "platform/audio/SdlOutput.h"
#include "platform/audio/WavCapture.h"

namespace platform::audio {
namespace {

constexpr int kDefaultRate = 44100;

double captureSpeed() {
  const char* text = std::getenv("TUNORA_AUDIO_CAPTURE_SPEED");
  double speed = text != nullptr ? std::atof(text) : 1.0;
  return speed > 0 ? speed : 1.0;
}

bool keepGaps() {
  const char* text = std::getenv("TUNORA_AUDIO_CAPTURE_GAPS");
  return text != nullptr && std::atoi(text) != 0;
}

std::unique_ptr<Output> openOutput(int device, Mixer& mixer, int& error) {
  if (device == 0) return std::make_unique<PacedOutput>(mixer, 1.0, nullptr);
  const char* capturePath = std::getenv("TUNORA_AUDIO_CAPTURE");
  if (device == -1 && capturePath != nullptr && *capturePath != '\0') {
    std::shared_ptr<WavCapture> capture = WavCapture::create(capturePath, mixer.format());
    if (!capture) {
      error = BASS_ERROR_DEVICE;
      return nullptr;
    }
    if (!keepGaps()) {
      // What is heard only: the stretches where no channel plays are left out.
      return std::make_unique<PacedOutput>(
          mixer, captureSpeed(),
          [capture](const std::int16_t* pcm, int, int heard) { capture->write(pcm, heard); });
    }
    // From the first frame heard to the last, with the silence between them: a gap
    // between two songs shows.
    auto silent = std::make_shared<std::uint64_t>(0);
    auto begun = std::make_shared<bool>(false);
    return std::make_unique<PacedOutput>(
        mixer, captureSpeed(), [capture, silent, begun](const std::int16_t* pcm, int frames, int heard) {
          if (heard > 0) {
            capture->writeSilence(*silent);
            capture->write(pcm, heard);
            *silent = 0;
            *begun = true;
          }
          if (*begun) *silent += static_cast<std::uint64_t>(frames - heard);
        });
  }
  return SdlOutput::open(device, mixer, error);
}

}  // namespace

Engine& Engine::instance() {
  static Engine engine;
  return engine;
}

Engine::~Engine() {
  int ignored = BASS_OK;
  free(ignored);
}

bool Engine::init(int device, std::uint32_t freq, int& error) {
  if (device < -1) {
    error = BASS_ERROR_DEVICE;
    return false;
  }
  if (freq == 0) freq = kDefaultRate;
  if (freq < 1000 || freq > 384000) {
    error = BASS_ERROR_ILLPARAM;
    return false;
  }
  std::lock_guard initLock(initMutex_);
  {
    std::lock_guard lock(mutex_);
    if (mixer_) {
      error = BASS_ERROR_ALREADY;
      return false;
    }
  }
  // Opening a device can take a while (a sound server to reach, cards to probe); calls from
  // other threads meanwhile are answered as before an initialisation instead of waiting.
  auto mixer = std::make_shared<Mixer>(PcmFormat{static_cast<int>(freq), 2});
  auto output = openOutput(device, *mixer, error);
  if (!output) return false;
  std::lock_guard lock(mutex_);
  mixer_ = std::move(mixer);
  output_ = std::move(output);
  return true;
}

bool Engine::free(int& error) {
  std::unique_ptr<Output> output;
  std::shared_ptr<Mixer> mixer;
  std::map<std::uint32_t, std::shared_ptr<Channel>> channels;
  std::lock_guard initLock(initMutex_);  // an initialisation under way finishes first
  {
    std::lock_guard lock(mutex_);
    if (!mixer_) {
      error = BASS_ERROR_INIT;
      return false;
    }
    output = std::move(output_);
    mixer = std::move(mixer_);
    channels.swap(channels_);
  }
  output.reset();  // joins the output thread
  for (auto& [handle, channel] : channels) {
    mixer->remove(channel);
    channel->shutdown();
  }
  return true;
}

bool Engine::deviceFormat(PcmFormat& format, int& error) {
  std::lock_guard lock(mutex_);
  if (!mixer_) {
    error = BASS_ERROR_INIT;
    return false;
  }
  format = mixer_->format();
  return true;
}

HSTREAM Engine::addStream(std::unique_ptr<ByteSource> source, NetworkSource* network,
                          OpenedDecoder opened, int& error) {
  std::shared_ptr<Mixer> mixer;
  {
    std::lock_guard lock(mutex_);
    mixer = mixer_;
  }
  if (!mixer) {
    error = BASS_ERROR_INIT;
    return 0;
  }
  auto channel = std::make_shared<Channel>(std::move(source), std::move(opened.decoder),
                                           opened.tagBytes, network,
                                           Channel::Device{mixer->format(), mixer->clock()});
  if (!channel->playable()) {
    channel->shutdown();
    error = BASS_ERROR_FORMAT;
    return 0;
  }
  std::lock_guard lock(mutex_);
  if (mixer_ != mixer) {  // freed (and perhaps initialised again) meanwhile
    channel->shutdown();
    error = BASS_ERROR_INIT;
    return 0;
  }
  std::uint32_t handle = nextHandle_++;
  if (nextHandle_ == 0) nextHandle_ = 1;
  channels_.emplace(handle, channel);
  mixer_->add(channel);
  return handle;
}

std::shared_ptr<Channel> Engine::find(std::uint32_t handle, int& error) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(handle);
  if (it == channels_.end()) {
    error = BASS_ERROR_HANDLE;
    return nullptr;
  }
  return it->second;
}

void Engine::channelStarted() {
  std::lock_guard lock(mutex_);
  if (output_) output_->channelStarted();
}

bool Engine::freeStream(std::uint32_t handle, int& error) {
  std::shared_ptr<Channel> channel;
  std::shared_ptr<Mixer> mixer;
  {
    std::lock_guard lock(mutex_);
    auto it = channels_.find(handle);
    if (it == channels_.end()) {
      error = BASS_ERROR_HANDLE;
      return false;
    }
    channel = std::move(it->second);
    channels_.erase(it);
    mixer = mixer_;
  }
  channel->stop();
  mixer->remove(channel);
  channel->shutdown();
  return true;
}

std::shared_ptr<Mixer> Engine::mixer() {
  std::lock_guard lock(mutex_);
  return mixer_;
}

bool Engine::chain(std::uint32_t first, std::uint32_t follower, int& error) {
  auto leader = find(first, error);
  if (!leader) return false;
  auto mixer = this->mixer();
  if (!mixer) {  // freed meanwhile
    error = BASS_ERROR_INIT;
    return false;
  }
  if (follower == 0) {
    mixer->unchainFirst(leader.get());
    return true;
  }
  auto next = find(follower, error);
  if (!next) return false;
  if (next == leader) {
    error = BASS_ERROR_ILLPARAM;
    return false;
  }
  // The follower counts from its first frame: one that plays already cannot follow.
  if (next->activity() != BASS_ACTIVE_STOPPED) {
    error = BASS_ERROR_ALREADY;
    return false;
  }
  if (!mixer->chain(leader, next)) {
    error = BASS_ERROR_NOPLAY;
    return false;
  }
  return true;
}

void Engine::unchainFirst(const Channel& first) {
  if (auto mixer = this->mixer()) mixer->unchainFirst(&first);
}

void Engine::unchainFollower(const Channel& follower) {
  if (auto mixer = this->mixer()) mixer->unchainFollower(&follower);
}

}  // namespace platform::audio
