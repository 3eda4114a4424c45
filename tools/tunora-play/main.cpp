// tunora-play: plays a file or an http(s) URL on the audio engine and prints the position,
// length and state once a second until the stream ends.

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/audio/Bass.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: tunora-play [options] FILE|URL\n"
               "  --device N       -1 default output (SDL), 0 no sound, 1... SDL devices\n"
               "  --capture FILE   write what is heard to a WAV file instead of playing it\n"
               "  --speed X        capture pace, X times real time (default 1)\n"
               "  --seek SECONDS   start at this position\n"
               "  --volume V       0 silent .. 1 full\n"
               "  --fade MS        slide the volume from 0 to V over MS milliseconds\n"
               "  --quiet          no status lines\n"
               "keys while playing: p pause/resume, f/b seek +/-10 s, +/- volume, q quit\n");
}

const char* stateName(DWORD state) {
  switch (state) {
    case BASS_ACTIVE_PLAYING: return "playing";
    case BASS_ACTIVE_STALLED: return "stalled";
    case BASS_ACTIVE_PAUSED: return "paused";
    default: return "stopped";
  }
}

// Puts the terminal into single-key mode for as long as it lives.
class RawTerminal {
 public:
  RawTerminal() {
    active_ = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved_) == 0;
    if (!active_) return;
    termios raw = saved_;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  }
  ~RawTerminal() {
    if (active_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
  }
  RawTerminal(const RawTerminal&) = delete;
  RawTerminal& operator=(const RawTerminal&) = delete;
  bool active() const { return active_; }

 private:
  termios saved_{};
  bool active_ = false;
};

int readKey(int timeoutMs) {
  pollfd fd{STDIN_FILENO, POLLIN, 0};
  if (poll(&fd, 1, timeoutMs) <= 0) return -1;
  char key = 0;
  return read(STDIN_FILENO, &key, 1) == 1 ? key : -1;
}

void seekBy(HSTREAM stream, double seconds) {
  double now = BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetPosition(stream, BASS_POS_BYTE));
  double target = now + seconds < 0 ? 0 : now + seconds;
  if (!BASS_ChannelSetPosition(stream, BASS_ChannelSeconds2Bytes(stream, target), BASS_POS_BYTE)) {
    std::fprintf(stderr, "seek failed (error %d)\n", BASS_ErrorGetCode());
  }
}

}  // namespace

int main(int argc, char** argv) {
  int device = -1;
  double seek = 0;
  float volume = 1.0f;
  long fadeMs = 0;
  bool quiet = false;
  std::string target;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (arg == "--device" && hasValue) {
      device = std::atoi(argv[++i]);
    } else if (arg == "--capture" && hasValue) {
      setenv("TUNORA_AUDIO_CAPTURE", argv[++i], 1);
      device = -1;
    } else if (arg == "--speed" && hasValue) {
      setenv("TUNORA_AUDIO_CAPTURE_SPEED", argv[++i], 1);
    } else if (arg == "--seek" && hasValue) {
      seek = std::atof(argv[++i]);
    } else if (arg == "--volume" && hasValue) {
      volume = static_cast<float>(std::atof(argv[++i]));
    } else if (arg == "--fade" && hasValue) {
      fadeMs = std::atol(argv[++i]);
    } else if (arg == "--quiet") {
      quiet = true;
    } else if (arg == "--help" || arg == "-h") {
      usage();
      return 0;
    } else if (!arg.empty() && arg[0] != '-' && target.empty()) {
      target = arg;
    } else {
      usage();
      return 2;
    }
  }
  if (target.empty()) {
    usage();
    return 2;
  }

  if (!BASS_Init(device, 44100, 0, nullptr, nullptr)) {
    std::fprintf(stderr, "cannot open device %d (error %d)\n", device, BASS_ErrorGetCode());
    return 1;
  }
  bool isUrl = target.rfind("http://", 0) == 0 || target.rfind("https://", 0) == 0;
  HSTREAM stream = isUrl ? BASS_StreamCreateURL(target.c_str(), 0, 0, nullptr, nullptr)
                         : BASS_StreamCreateFile(FALSE, target.c_str(),
                                                 0, 0, 0);
  if (stream == 0) {
    std::fprintf(stderr, "cannot open %s (error %d)\n", target.c_str(), BASS_ErrorGetCode());
    BASS_Free();
    return 1;
  }
  if (seek > 0) seekBy(stream, seek);
  if (fadeMs > 0) {
    BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 0.0f);
    BASS_ChannelSlideAttribute(stream, BASS_ATTRIB_VOL, volume, static_cast<DWORD>(fadeMs));
  } else {
    BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, volume);
  }
  BASS_ChannelPlay(stream, seek > 0 ? FALSE : TRUE);

  RawTerminal terminal;
  auto nextStatus = std::chrono::steady_clock::now();
  for (;;) {
    DWORD state = BASS_ChannelIsActive(stream);
    if (!quiet && std::chrono::steady_clock::now() >= nextStatus) {
      QWORD length = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
      double position = BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetPosition(stream, BASS_POS_BYTE));
      double total = length == static_cast<QWORD>(-1) ? -1 : BASS_ChannelBytes2Seconds(stream, length);
      QWORD downloaded = BASS_StreamGetFilePosition(stream, BASS_FILEPOS_DOWNLOAD);
      QWORD end = BASS_StreamGetFilePosition(stream, BASS_FILEPOS_END);
      float current = 0;
      BASS_ChannelGetAttribute(stream, BASS_ATTRIB_VOL, &current);
      std::printf("%7.2f / %7.2f s  %-8s vol %.2f  file %llu / %lld\n", position, total,
                  stateName(state), current, static_cast<unsigned long long>(downloaded),
                  end == static_cast<QWORD>(-1) ? -1LL : static_cast<long long>(end));
      std::fflush(stdout);
      nextStatus += std::chrono::seconds(1);
    }
    if (state == BASS_ACTIVE_STOPPED) break;
    int key = terminal.active() ? readKey(50) : -1;
    if (!terminal.active()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (key == 'q') break;
    if (key == 'p') {
      if (state == BASS_ACTIVE_PAUSED) {
        BASS_ChannelPlay(stream, FALSE);
      } else {
        BASS_ChannelPause(stream);
      }
    }
    if (key == 'f') seekBy(stream, 10);
    if (key == 'b') seekBy(stream, -10);
    if (key == '+' || key == '-') {
      float current = 0;
      BASS_ChannelGetAttribute(stream, BASS_ATTRIB_VOL, &current);
      current += key == '+' ? 0.1f : -0.1f;
      BASS_ChannelSlideAttribute(stream, BASS_ATTRIB_VOL, current < 0 ? 0 : current, 100);
    }
  }
  BASS_StreamFree(stream);
  BASS_Free();
  return 0;
}
