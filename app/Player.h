#pragma once
// The player: the one home of playback. It owns the play worker, the current stream and
// its links, takes commands from its faces (the main window, the desktop's media
// controls) and tells them what happens through PlayerFaces, on the UI thread.
//
// A play request looks the song's link up and creates its stream on the worker; a newer
// request supersedes an older one, and at most one stream plays. Every new stream starts
// silent and slides up to the volume in 150 ms. In a song's last seconds the row that will
// follow it is prepared beside it (PreparedFollower) and takes over at its last frame, at
// the volume, with no slide. The state below is guarded by one mutex;
// nothing slow runs under it (a stream is taken out under the lock and freed outside).
//
// A song that stops by itself has ended naturally when the position heard reached its
// length within half a second; then the next row of its list plays. Anything else is a
// failure: the song ends and nothing follows.

#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <string>

#include "app/KeptSong.h"
#include "app/PlayWorker.h"
#include "app/PlayerFaces.h"
#include "app/PlayerView.h"
#include "app/PreparedFollower.h"
#include "audio/AudioEngine.h"

namespace app {

// The song lists as they are now, for next, previous and play-through. UI thread.
class SongLists {
 public:
  struct Row {
    std::string title;
    std::string singer;
    std::string label;  // the song label's text for this row
  };
  virtual ~SongLists() = default;
  virtual int rowCount(SongList list) = 0;
  // Changes whenever the list's rows are replaced (a new search).
  virtual std::uint64_t listVersion(SongList list) = 0;
  virtual Row rowAt(SongList list, int row) = 0;
};

inline constexpr DWORD kVolumeSlideMs = 150;
// Previous within this many seconds of a song's start goes to the row before; later it
// starts the song again.
inline constexpr double kRestartAfterSeconds = 3.0;
// A stream that stops this close to its length has ended naturally.
inline constexpr double kNaturalEndSeconds = 0.5;
// The row that follows is prepared this long before the end: time for a slow link and the
// stream's pre-buffer.
inline constexpr double kPrepareAheadSeconds = 10.0;

class Player {
 public:
  // What the Player asks of the world; each may be empty.
  struct Services {
    // The link of a result row; runs on the worker.
    std::function<std::string(const std::string& title, const std::string& singer)> lookUpLink;
    // The link of the song a preset row shows, the file read again; runs on the worker.
    std::function<std::string(int row, const std::string& title, const std::string& singer)> presetLink;
    // The address of a singer's picture, empty when none; runs on the worker.
    std::function<std::string(const std::string& singer)> lookUpPicture;
    // Keeps the volume for the next start; UI thread, must not wait for the disk.
    std::function<void(int volume)> storeVolume;
  };

  Player(audio::AudioEngine& engine, Services services, int volume);
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  PlayerFaces& faces() { return faces_; }
  // The lists next, previous and play-through read. UI thread, before any command.
  void useLists(SongLists* lists) { lists_ = lists; }

  // The song kept from the last run: it shows as not playing at its position, and the next
  // play() resumes it there. UI thread, before any command.
  void keepSong(const KeptSong& song);

  // Opens the output device on a thread of its own, beside the window's start. UI thread.
  void startEngine();

  // Commands. UI thread.
  void playRow(SongList list, int row);
  void playAddress(const std::string& url);
  void togglePause();
  void play();   // resumes a paused song, or plays the last one again from its start
  void pause();
  void stop();
  void seekToPercent(int percent);  // the position slider's rule
  void seekTo(double seconds);
  void seekBy(double seconds);
  void setVolume(int volume);       // from the volume slider
  void changeVolume(int volume);    // from elsewhere: the slider follows
  void next();
  void previous();
  // The 150 ms tick: progress, and what follows a song that stopped.
  void tick();
  // Before the window goes: no more requests, the worker ends, the stream and the device
  // are freed. Later commands do nothing.
  void close();

  // A copy of the state. UI thread (what can be done depends on the lists).
  PlayerStatus status();
  // The stream being played, 0 for none. Any thread.
  HSTREAM currentStream() const;
  // The volume, 0 to 100. Any thread.
  int volume() const;
  // Returns when the worker has served every request; for tests. UI thread.
  void waitForPlayRequests() { worker_.waitUntilIdle(); }

 private:
  struct Song {
    SongList list = SongList::None;
    int row = 0;
    std::uint64_t listVersion = 0;
    std::string title;
    std::string singer;
    std::string label;
    std::string url;
  };

  void submit(PlayRequest request);
  PlayRequest requestForRow(SongList list, int row);
  void serve(const PlayRequest& request);  // the worker thread
  void startStream(const PlayRequest& request, const std::string& url);  // the worker thread
  void waitForEngine();
  // Takes the stream out under the lock and frees it outside; true when one was there.
  bool freeCurrentStream();
  void songStopped(bool natural);
  // Where the song stands in the list it came from; none for an address or without a song.
  struct ListPlace {
    SongList list = SongList::None;
    int row = 0;
    bool replaced = false;  // a new search has replaced the list since
  };
  std::optional<ListPlace> listPlace();
  std::optional<int> nextRow();
  std::optional<int> previousRow();
  PlayRequest requestForKept(const KeptSong& kept);
  void publish();  // tells the listeners when anything but the position changed
  // The follower: prepared near the end of stream, taken over once first stopped by itself.
  void prepareFollower(HSTREAM stream, QWORD position, QWORD length);
  bool changeOver(HSTREAM first);
  std::string linkFor(const PlayRequest& request) const;  // any thread

  audio::AudioEngine& engine_;
  const Services services_;
  PlayerFaces faces_;
  SongLists* lists_ = nullptr;
  std::shared_future<void> engineStarted_;  // UI thread
  bool closed_ = false;                      // UI thread
  std::optional<PlayerStatus> published_;    // UI thread

  mutable std::mutex mutex_;
  // guarded by mutex_
  HSTREAM stream_ = 0;
  Song song_;                // the song of stream_, or the last one played
  bool haveSong_ = false;
  std::uint64_t songCount_ = 0;
  QWORD lengthShown_ = 0;  // the length the window's label gives for stream_
  int volume_ = 0;
  std::string pictureAddress_;
  std::optional<KeptSong> kept_;  // until a song is served

  PreparedFollower follower_;
  PlayWorker worker_;  // last: its thread goes first
};

// Whole seconds for the time labels; out-of-range values (errors) give 0.
int wholeSeconds(double seconds);

}  // namespace app
