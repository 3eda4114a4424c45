#pragma once
// The faces of the player: what the Player tells the main window (PlayerView) and the
// desktop's media controls (PlayerListener). The Player calls both through one adapter
// that runs each call on the UI thread, so a face never locks anything.

#include <cstdint>
#include <string>

namespace app {

enum class PlayState { Stopped, Playing, Paused };

// Where the playing song came from.
enum class SongList { None, Results, Presets, Address };

// What the Player holds, copied under its lock. Texts are program texts (GBK).
struct PlayerStatus {
  PlayState state = PlayState::Stopped;
  bool waitingForData = false;  // playing, but the stream waits for bytes
  std::string title;
  std::string singer;
  double position = 0;          // seconds heard
  double length = 0;            // seconds; 0 when unknown
  double bufferedPercent = 0;   // of the file
  int volume = 0;               // 0 to 100
  SongList list = SongList::None;
  int row = 0;                  // from 1; 0 for a song without a row
  std::uint64_t song = 0;       // counts the songs started; tells one play of a row from the next
  std::string pictureAddress;   // the singer's picture, empty until known
  std::string url;              // the address of a song played from one; empty else
  bool kept = false;            // the song kept from the last run, not played yet: it
                                // stands at position, of length
  bool canGoNext = false;
  bool canGoPrevious = false;
  bool canPlay = false;
};

// The main window. Every call comes on the UI thread.
class PlayerView {
 public:
  virtual ~PlayerView() = default;
  // A playing song gives way to a new one: the position slider goes back to the start.
  virtual void resetPosition() = 0;
  // A song plays: its label text ("title CR LF singer", or the preset row's text) and its
  // length as the time labels write it.
  virtual void songStarted(const std::string& label, const std::string& lengthText) = 0;
  // The song that started is row of list as it was at listVersion: the list shows it
  // selected, as a double click would have left it.
  virtual void rowPlaying(SongList /*list*/, int /*row*/, std::uint64_t /*listVersion*/) {}
  // The play button's look: the pause picture while a song plays, the play picture else.
  virtual void showPlaying(bool playing) = 0;
  // The song's source cannot be played: the error box.
  virtual void songUnplayable() = 0;
  // The song's length became known, or exact, after it started.
  virtual void showLength(const std::string& lengthText) = 0;
  // The 150 ms progress: elapsed time text, position and buffered share in percent.
  virtual void showProgress(const std::string& elapsedText, double positionPercent, double bufferedPercent) = 0;
  // The position slider went somewhere no song plays: back to the start.
  virtual void positionRefused() = 0;
  // Nothing plays any more: labels and position cleared, the play picture.
  virtual void showStopped() = 0;
  // The volume changed elsewhere (the desktop): the slider shows it.
  virtual void showVolume(int volume) = 0;
};

// The desktop's media controls. Every call comes on the UI thread.
class PlayerListener {
 public:
  virtual ~PlayerListener() = default;
  // Anything but the position changed (state, song, volume, what can be done).
  virtual void playerChanged(const PlayerStatus& status) = 0;
  // The position jumped (a seek); microseconds.
  virtual void seeked(std::int64_t positionMicroseconds) = 0;
  // A new song plays, whatever made it change; comes after its playerChanged.
  virtual void songChanged(const PlayerStatus& /*status*/) {}
  // The player is closing: the last look at the song and where it stands.
  virtual void playerClosing(const PlayerStatus& /*status*/) {}
};

}  // namespace app
