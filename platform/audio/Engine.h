#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/audio/Bass.h"
#include "platform/audio/Channel.h"
#include "platform/audio/DecoderFactory.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/Output.h"

namespace platform::audio {

// The process-wide engine: the open output, its mixer and the table of stream handles.
// Every member takes mutex_ only briefly; slow work (opening files and URLs, joining
// threads) happens outside it.
class Engine {
 public:
  static Engine& instance();

  bool init(int device, std::uint32_t freq, int& error);
  bool free(int& error);

  HSTREAM addStream(std::unique_ptr<ByteSource> source, NetworkSource* network,
                    OpenedDecoder opened, int& error);
  // The mixer format of the open output; false with INIT when none is open.
  bool deviceFormat(PcmFormat& format, int& error);
  std::shared_ptr<Channel> find(std::uint32_t handle, int& error);
  // Lets the output know that a channel has started to play.
  void channelStarted();
  bool freeStream(std::uint32_t handle, int& error);
  // follower plays from the frame after first's last; follower 0 drops first's chain.
  bool chain(std::uint32_t first, std::uint32_t follower, int& error);
  // A seek of first or a start of follower by hand ends the chain they are in.
  void unchainFirst(const Channel& first);
  void unchainFollower(const Channel& follower);

 private:
  Engine() = default;
  std::shared_ptr<Mixer> mixer();
  ~Engine();  // a program that never called BASS_Free still stops its threads in order

  std::mutex mutex_;
  std::mutex initMutex_;  // one initialisation at a time; held while a device opens
  // guarded by mutex_
  std::shared_ptr<Mixer> mixer_;  // non-null while initialised
  std::unique_ptr<Output> output_;
  std::map<std::uint32_t, std::shared_ptr<Channel>> channels_;
  std::uint32_t nextHandle_ = 0x10001;
};

}  // namespace platform::audio
