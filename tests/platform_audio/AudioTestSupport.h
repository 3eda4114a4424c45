#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/audio/Bass.h"

namespace audiotest {

std::string media(const std::string& name);
std::vector<std::uint8_t> readFile(const std::string& path);
// The bytes of the "data" chunk of a WAV file; empty when there is none.
std::vector<std::uint8_t> wavData(const std::string& path);

// Little-endian 16-bit samples of PCM bytes.
std::vector<std::int16_t> samples16(const std::vector<std::uint8_t>& pcm);
// The root mean square of a - b over that of b, from sample `from` on; a must be as long
// as b.
double relativeDifference(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b,
                          std::size_t from = 0);
// Vorbis decodes in floating point with tables from the C library's cos and sin; where that
// library is not glibc (Windows) a few samples round the other way. Empty when heard PCM
// matches the reference within TUNORA_VORBIS_STEPS per sample (0, exact, on Linux) and at
// most 0.1 % of samples differ; otherwise what differs.
std::string vorbisMismatch(const std::vector<std::uint8_t>& heard, const std::vector<std::uint8_t>& reference);
// A new temporary file holding bytes; the caller removes it.
std::string writeTemp(const std::vector<std::uint8_t>& bytes);
// An ID3v2.3 tag of `body` bytes of padding.
std::vector<std::uint8_t> id3Tag(std::size_t body);

// Polls until done() or the time-out; true when done() held.
bool waitFor(const std::function<bool()>& done,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

// BASS_Init on the WAV capture device (at `rate`, stereo) for the life of the object.
// keepGaps keeps the silence between heard stretches, so that a gap shows.
class CaptureSession {
 public:
  explicit CaptureSession(double speed = 8.0, int rate = 44100, bool keepGaps = false);
  ~CaptureSession();
  CaptureSession(const CaptureSession&) = delete;
  CaptureSession& operator=(const CaptureSession&) = delete;

  bool ready() const { return ready_; }
  // Frees the engine and returns what was heard.
  std::vector<std::uint8_t> finish();

 private:
  std::string path_;
  bool ready_ = false;
  bool freed_ = false;
};

// Shortens every wait of a broken URL stream's recovery while it lives.
class ShortNetWaits {
 public:
  explicit ShortNetWaits(double scale = 0.1);
  ~ShortNetWaits();
  ShortNetWaits(const ShortNetWaits&) = delete;
  ShortNetWaits& operator=(const ShortNetWaits&) = delete;

 private:
  double before_;
};

// Plays handle to its end and returns once it has stopped.
bool playToEnd(HSTREAM handle, std::chrono::milliseconds timeout = std::chrono::seconds(20));

// An nginx on a free 127.0.0.1 port serving the media folder:
//   /NAME            the file, with ranges
//   /slow/NAME       8 KB at once, then 20 KB/s
//   /slower/NAME     4 KB at once, then 10 KB/s
//   /norange/NAME    no Range support
//   /slownorange/NAME  both
//   /moved/NAME      a 302 to /NAME
//   /ftp/NAME        a 302 to an ftp:// URL
// On Linux each object spawns its own; on Windows nginx is a Linux process that the test
// run starts (nginx-fixture.sh), and TUNORA_TEST_NGINX names the file holding its address.
class NginxServer {
 public:
  NginxServer();
  ~NginxServer();
  NginxServer(const NginxServer&) = delete;
  NginxServer& operator=(const NginxServer&) = delete;

  bool running() const;
  std::string url(const std::string& path) const;

 private:
  void start();

  std::string folder_;
  int port_ = 0;
  int pid_ = -1;
};

// A listener on a free 127.0.0.1 port that never accepts: connections wait in its backlog.
class SilentListener {
 public:
  SilentListener();
  ~SilentListener();
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;

  int port() const { return port_; }

 private:
  std::intptr_t socket_ = -1;
  int port_ = 0;
};

int freeLoopbackPort();
bool waitForPort(int port, std::chrono::milliseconds timeout);

}  // namespace audiotest
