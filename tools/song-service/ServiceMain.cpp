// tunora-song-service [--port N] [--catalogue DIR] [--slow BYTES_PER_S] [--cut-after BYTES]
//                     [--links-404] [--links-no-url]
// Serves the demo catalogue on 127.0.0.1 until SIGTERM or SIGINT; prints "listening PORT"
// once connections are accepted.

#include <pthread.h>
#include <signal.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

#include "tools/song-service/SongService.h"

using namespace songservice;

namespace {

constexpr int kDefaultPort = 8725;

struct CommandLine {
  int port = kDefaultPort;
  std::string catalogue = TUNORA_SONG_CATALOGUE_DIR;
  ServiceOptions options;
};

void printUsage() {
  std::fprintf(stderr,
               "usage: tunora-song-service [--port N] [--catalogue DIR] [--slow BYTES_PER_S]\n"
               "                           [--cut-after BYTES] [--links-404] [--links-no-url]\n");
}

bool parseCount(const char* text, long long minimum, long long maximum, long long& out) {
  std::string_view view(text);
  auto [end, status] = std::from_chars(view.data(), view.data() + view.size(), out);
  return status == std::errc() && end == view.data() + view.size() && out >= minimum && out <= maximum;
}

bool parseCommandLine(int argc, char** argv, CommandLine& line) {
  for (int i = 1; i < argc; ++i) {
    std::string_view flag = argv[i];
    const bool hasValue = i + 1 < argc;
    long long number = 0;
    if (flag == "--links-404") {
      line.options.links404 = true;
    } else if (flag == "--links-no-url") {
      line.options.linksWithoutUrl = true;
    } else if (flag == "--catalogue" && hasValue) {
      line.catalogue = argv[++i];
    } else if (flag == "--port" && hasValue && parseCount(argv[++i], 0, 65535, number)) {
      line.port = static_cast<int>(number);
    } else if (flag == "--slow" && hasValue && parseCount(argv[++i], 1, 1LL << 40, number)) {
      line.options.slowBytesPerSecond = number;
    } else if (flag == "--cut-after" && hasValue && parseCount(argv[++i], 0, 1LL << 40, number)) {
      line.options.cutAfterBytes = number;
    } else {
      std::fprintf(stderr, "tunora-song-service: bad argument: %s\n", argv[i]);
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine line;
  if (!parseCommandLine(argc, argv, line)) {
    printUsage();
    return 2;
  }
  std::string error;
  auto catalogue = Catalogue::load(line.catalogue, &error);
  if (!catalogue) {
    std::fprintf(stderr, "tunora-song-service: %s\n", error.c_str());
    return 1;
  }

  // The signals are taken by one thread with sigwait; every other thread inherits the mask.
  sigset_t endSignals;
  sigemptyset(&endSignals);
  sigaddset(&endSignals, SIGTERM);
  sigaddset(&endSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  SongService service(std::move(*catalogue), line.options);
  int port = service.bind(line.port);
  if (port < 0) {
    std::fprintf(stderr, "tunora-song-service: cannot listen on 127.0.0.1:%d: %s\n", line.port,
                 std::strerror(errno));
    return 1;
  }
  std::thread signalWaiter([&] {
    int signalNumber = 0;
    sigwait(&endSignals, &signalNumber);
    service.stop();
  });
  std::printf("listening %d\n", port);
  std::fflush(stdout);

  bool served = service.run();
  // When serving ended by itself, the waiter still waits: wake it.
  pthread_kill(signalWaiter.native_handle(), SIGTERM);
  signalWaiter.join();
  if (!served) {
    std::fprintf(stderr, "tunora-song-service: serving failed\n");
    return 1;
  }
  return 0;
}
