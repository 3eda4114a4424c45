#include "AudioTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/audio/NetWaits.h"
#include "platform/system/Environment.h"
#include "tests/support/TempDir.h"

namespace audiotest {

std::string media(const std::string& name) { return std::string(TUNORA_TEST_MEDIA) + "/" + name; }

std::vector<std::uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::uint8_t> wavData(const std::string& path) {
  std::vector<std::uint8_t> file = readFile(path);
  auto get32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(file[at]) | static_cast<std::uint32_t>(file[at + 1]) << 8 |
           static_cast<std::uint32_t>(file[at + 2]) << 16 | static_cast<std::uint32_t>(file[at + 3]) << 24;
  };
  if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0) return {};
  std::size_t at = 12;
  while (at + 8 <= file.size()) {
    std::uint32_t size = get32(at + 4);
    if (std::memcmp(file.data() + at, "data", 4) == 0) {
      std::size_t end = std::min<std::size_t>(file.size(), at + 8 + size);
      return std::vector<std::uint8_t>(file.begin() + static_cast<long>(at + 8),
                                       file.begin() + static_cast<long>(end));
    }
    at += 8 + size + (size & 1);
  }
  return {};
}

std::vector<std::int16_t> samples16(const std::vector<std::uint8_t>& pcm) {
  std::vector<std::int16_t> samples(pcm.size() / 2);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<std::int16_t>(pcm[2 * i] | pcm[2 * i + 1] << 8);
  }
  return samples;
}

std::string vorbisMismatch(const std::vector<std::uint8_t>& heard, const std::vector<std::uint8_t>& reference) {
  if (reference.empty()) return "no reference";
  if (heard.size() != reference.size()) {
    return std::to_string(heard.size()) + " bytes heard, " + std::to_string(reference.size()) + " expected";
  }
  std::vector<std::int16_t> a = samples16(heard);
  std::vector<std::int16_t> b = samples16(reference);
  std::size_t off = 0;
  for (std::size_t i = 0; i < b.size(); ++i) {
    int step = std::abs(a[i] - b[i]);
    if (step > TUNORA_VORBIS_STEPS) return "sample " + std::to_string(i) + " is off by " + std::to_string(step);
    off += step != 0;
  }
  if (off > b.size() / 1000) return std::to_string(off) + " samples differ";
  return {};
}

double relativeDifference(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b,
                          std::size_t from) {
  double difference = 0;
  double signal = 0;
  for (std::size_t i = from; i < b.size() && i < a.size(); ++i) {
    difference += (a[i] - b[i]) * static_cast<double>(a[i] - b[i]);
    signal += b[i] * static_cast<double>(b[i]);
  }
  return a.size() < b.size() || signal == 0 ? 1.0 : std::sqrt(difference / signal);
}

std::string writeTemp(const std::vector<std::uint8_t>& bytes) {
  std::string path = testsupport::uniqueTempPath("tunora-audio-");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::vector<std::uint8_t> id3Tag(std::size_t body) {
  std::vector<std::uint8_t> tag = {'I', 'D', '3', 3, 0, 0};
  for (int shift = 21; shift >= 0; shift -= 7) tag.push_back(static_cast<std::uint8_t>((body >> shift) & 0x7F));
  tag.resize(10 + body, 0);  // padding only
  return tag;
}

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

CaptureSession::CaptureSession(double speed, int rate, bool keepGaps) {
  path_ = testsupport::uniqueTempPath("tunora-capture-");
  platform::system::setEnvironment("TUNORA_AUDIO_CAPTURE", path_.c_str());
  platform::system::setEnvironment("TUNORA_AUDIO_CAPTURE_SPEED", std::to_string(speed).c_str());
  if (keepGaps) platform::system::setEnvironment("TUNORA_AUDIO_CAPTURE_GAPS", "1");
  ready_ = BASS_Init(-1, static_cast<DWORD>(rate), 0, nullptr, nullptr) == TRUE;
  platform::system::unsetEnvironment("TUNORA_AUDIO_CAPTURE_GAPS");
}

CaptureSession::~CaptureSession() {
  if (ready_ && !freed_) BASS_Free();
  platform::system::unsetEnvironment("TUNORA_AUDIO_CAPTURE");
  std::remove(path_.c_str());
}

ShortNetWaits::ShortNetWaits(double scale) : before_(platform::audio::netwaits::scale()) {
  platform::audio::netwaits::setScale(scale);
}

ShortNetWaits::~ShortNetWaits() { platform::audio::netwaits::setScale(before_); }

std::vector<std::uint8_t> CaptureSession::finish() {
  if (ready_ && !freed_) BASS_Free();
  freed_ = true;
  return wavData(path_);
}

bool playToEnd(HSTREAM handle, std::chrono::milliseconds timeout) {
  if (!BASS_ChannelPlay(handle, FALSE)) return false;
  return waitFor([&] { return BASS_ChannelIsActive(handle) == BASS_ACTIVE_STOPPED; }, timeout);
}

std::string NginxServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
}

}  // namespace audiotest
