// tunora-play: plays a file or an http(s) URL on the audio engine and prints the position,
// length and state once a second until the stream ends.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/Bass.h"
#include "platform/system/Environment.h"
#include "platform/system/ProgramArguments.h"
#include "tools/tunora-play/Console.h"

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

void seekBy(HSTREAM stream, double seconds) {
  double now = BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetPosition(stream, BASS_POS_BYTE));
  double target = now + seconds < 0 ? 0 : now + seconds;
  if (!BASS_ChannelSetPosition(stream, BASS_ChannelSeconds2Bytes(stream, target), BASS_POS_BYTE)) {
    std::fprintf(stderr, "seek failed (error %d)\n", BASS_ErrorGetCode());
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = platform::system::programArguments(argc, argv);
  int device = -1;
  double seek = 0;
  float volume = 1.0f;
  long fadeMs = 0;
  bool quiet = false;
  std::string target;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    bool hasValue = i + 1 < args.size();
    if (arg == "--device" && hasValue) {
      device = std::atoi(args[++i].c_str());
    } else if (arg == "--capture" && hasValue) {
      platform::system::setEnvironment("TUNORA_AUDIO_CAPTURE", args[++i].c_str());
      device = -1;
    } else if (arg == "--speed" && hasValue) {
      platform::system::setEnvironment("TUNORA_AUDIO_CAPTURE_SPEED", args[++i].c_str());
    } else if (arg == "--seek" && hasValue) {
      seek = std::atof(args[++i].c_str());
    } else if (arg == "--volume" && hasValue) {
      volume = static_cast<float>(std::atof(args[++i].c_str()));
    } else if (arg == "--fade" && hasValue) {
      fadeMs = std::atol(args[++i].c_str());
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

  Console console;
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
    int key = console.interactive() ? console.readKey(50) : -1;
    if (!console.interactive()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
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
