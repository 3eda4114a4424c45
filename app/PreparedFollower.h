#pragma once
// The song that follows the playing one in its list. During the playing song's last
// seconds its link is looked up and its stream created and buffered on a thread of its own
// (a slow or failing service never holds up the user's requests), then chained to the
// playing stream, so that it starts at the frame after the other's last. Until the Player
// takes it over it is a second stream beside the playing one: prepared, not playing.

#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "app/PlayWorker.h"
#include "audio/AudioEngine.h"

namespace app {

class PreparedFollower {
 public:
  // Both run on the preparing thread; either may be empty.
  using LinkOf = std::function<std::string(const PlayRequest& request)>;
  using PictureOf = std::function<std::string(const std::string& singer)>;

  struct TakenOver {
    HSTREAM stream = 0;
    PlayRequest request;
    std::string url;
    std::string pictureAddress;
  };

  PreparedFollower(audio::AudioEngine& engine, LinkOf linkOf, PictureOf pictureOf);
  ~PreparedFollower();
  PreparedFollower(const PreparedFollower&) = delete;
  PreparedFollower& operator=(const PreparedFollower&) = delete;

  // UI thread. Prepares request's row to follow first at volume (0 to 1), unless that row
  // of that list is prepared or under way already (or failed: then the ordinary start
  // follows the end). Anything else prepared goes.
  void prepare(HSTREAM first, const PlayRequest& request, float volume);
  // Any thread. Frees what is prepared; a preparation under way is let go.
  void drop();
  // Any thread. The volume the prepared stream starts at.
  void setVolume(float volume);
  // UI thread, once first stopped by itself: the stream that took over from it, which is
  // then the caller's; nothing when none was chained to first.
  std::optional<TakenOver> takeOver(HSTREAM first);
  // UI thread. Ends the preparing thread and frees what is prepared.
  void close();

 private:
  void serve(const PlayRequest& request);  // the preparing thread
  bool current(const PlayRequest& request) const;  // caller holds mutex_

  audio::AudioEngine& engine_;
  const LinkOf linkOf_;
  const PictureOf pictureOf_;

  mutable std::mutex mutex_;
  // guarded by mutex_
  HSTREAM first_ = 0;
  std::optional<PlayRequest> wanted_;  // prepared, under way, or failed
  std::optional<TakenOver> prepared_;  // its stream is chained to first_
  float volume_ = 1.0f;

  PlayWorker worker_;  // last: its thread goes first
};

}  // namespace app
