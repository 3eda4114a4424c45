// The client on a private X server worked from the keyboard alone, with the pointer resting
// where a click would do harm: search, play the selected row, pause and resume by key and
// by media key, the next song, the volume and position sliders, a button pressed with
// Enter, and the focus look on each kind of control Tab reaches. Checked by what is heard,
// the settings file and the screen.

#include <gtest/gtest.h>

#ifdef TUNORA_SONG_SERVICE_TESTS
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "tests/app/ClientHeard.h"
#include "tests/app/ClientScreen.h"
#include "tests/platform_audio/AudioTestSupport.h"
#include "tests/support/FileContents.h"
#include "tests/window/XSession.h"

namespace clienttest {
namespace {

constexpr const char* kSinger = "Aurelia Finch";

struct Area {
  int x, y, width, height;
};
constexpr Area kSearchBox{6, 186, 285, 30};
constexpr Area kResultList{7, 251, 283, 350};
constexpr Area kVolumeSlider{236, 148, 55, 7};
constexpr Area kPlayButton{124, 130, 45, 45};
constexpr int kRowOneY = 251 + 8, kRowHeight = 17;
// The focus look lies along a control's edge: from 4 pixels outside to 3 inside.
constexpr int kOutside = 4, kInside = 3;

std::vector<std::uint32_t> grabAround(const Area& a) {
  return grabArea(a.x - kOutside, a.y - kOutside, a.width + 2 * kOutside, a.height + 2 * kOutside);
}

// How many pixels along the area's edge differ between two grabs of grabAround.
int edgeChanges(const Area& a, const std::vector<std::uint32_t>& before, const std::vector<std::uint32_t>& after) {
  const int w = a.width + 2 * kOutside, h = a.height + 2 * kOutside, band = kOutside + kInside;
  if (before.size() != after.size() || before.size() != static_cast<std::size_t>(w) * h) return -1;
  std::vector<std::uint32_t> edgeBefore, edgeAfter;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (x >= band && y >= band && x < w - band && y < h - band) continue;
      edgeBefore.push_back(before[static_cast<std::size_t>(y) * w + x]);
      edgeAfter.push_back(after[static_cast<std::size_t>(y) * w + x]);
    }
  }
  return differingPixels(edgeBefore, edgeAfter, 8);
}

// Three quarters of the edge changed: a ring, not a stray pixel or a changed inside.
void expectFocusLook(const Area& a, const std::vector<std::uint32_t>& before, const std::string& shot) {
  const int wanted = (a.width + a.height) * 2 * 3 / 4;
  int changed = 0;
  windowtest::XSession::pumpUntil([&] { return (changed = edgeChanges(a, before, grabAround(a))) > wanted; }, 3000);
  screenshot(shot);
  std::printf("%s: %d edge pixels changed, more than %d wanted\n", shot.c_str(), changed, wanted);
  EXPECT_GT(changed, wanted) << "no focus look in " << shot;
}

std::size_t heardFrames(const ProgramCopy& copy) {
  std::error_code ignored;
  const std::uintmax_t bytes = std::filesystem::file_size(copy.capturePath(), ignored);
  return bytes > 44 && bytes != static_cast<std::uintmax_t>(-1) ? (bytes - 44) / kFrameBytes : 0;
}

// Waits until the client has heard `seconds` more; the frames heard then, 0 when it does not
// within 20 s.
std::size_t framesOnceHeard(const ProgramCopy& copy, double seconds) {
  const std::size_t wanted = heardFrames(copy) + static_cast<std::size_t>(seconds * kFramesPerSecond);
  std::size_t now = 0;
  const bool heard =
      audiotest::waitFor([&] { return (now = heardFrames(copy)) >= wanted; }, std::chrono::seconds(20));
  return heard ? now : 0;
}

// Nothing more is heard over a second, once what was under way has played.
bool silent(const ProgramCopy& copy) {
  settle(300);
  const std::size_t before = heardFrames(copy);
  settle(1000);
  return heardFrames(copy) == before;
}

// The frame of expected in [from, to) where 1024 heard frames at `at` fit best at gain; the
// fit's root-mean-square error as a share of the heard signal's goes to misfit. -1 when
// the range is empty.
long long bestFit(const std::vector<std::int16_t>& heard, std::size_t at, const std::vector<std::int16_t>& expected,
                  double gain, long long from, long long to, double& misfit) {
  constexpr std::size_t kCount = 1024;
  if (heard.size() < 2 * (at + kCount)) return -1;
  from = std::max(from, 0LL);
  to = std::min(to, static_cast<long long>(expected.size() / 2) - static_cast<long long>(kCount));
  double signal = 0;
  for (std::size_t i = 2 * at; i < 2 * (at + kCount); ++i) signal += static_cast<double>(heard[i]) * heard[i];
  long long best = -1;
  double bestError = 0;
  for (long long start = from; start < to; ++start) {
    double error = 0;
    for (std::size_t i = 0; i < 2 * kCount && (best < 0 || error < bestError); ++i) {
      const double d = heard[2 * at + i] - gain * expected[2 * static_cast<std::size_t>(start) + i];
      error += d * d;
    }
    if (best < 0 || error < bestError) {
      best = start;
      bestError = error;
    }
  }
  misfit = best >= 0 && signal > 0 ? std::sqrt(bestError / signal) : 1.0;
  return best;
}

std::string settingsOf(const ProgramCopy& copy) {
  return testsupport::readFile(copy.folder() + "/program parameter.ini");
}

void key(const std::string& keys) {
  xdotool("key --delay 60 " + keys);
  settle(200);
}

bool errorBoxShown(int timeoutMs) { return !waitForWindowNamed("错误", timeoutMs).empty(); }

class ClientOnKeyboard : public ClientOnScreen {};

TEST_F(ClientOnKeyboard, SearchPlayPauseNextVolumeAndSeekWithoutThePointer) {
  SongService service;
  ASSERT_GT(service.port(), 0) << "the song service did not start";
  const std::vector<app::SongEntry> songs = songsOf(service.port(), kSinger);
  ASSERT_GE(songs.size(), 6u) << "the list must show (more than five rows) and row 3 must differ from row 1";
  testsupport::writeFile(copy_.folder() + "/program parameter.ini", "[parameter]\r\nvolume size=100\r\n");
  auto client = start(service.port());
  movePointerAway();

  // Ctrl+F: the search box with its hint selected, so typing replaces it.
  auto before = grabAround(kSearchBox);
  key("ctrl+f");
  expectFocusLook(kSearchBox, before, "keyboard-focus-search-box.png");
  const auto emptyList = grabArea(kResultList.x, kResultList.y, kResultList.width, kResultList.height);
  xdotool("type --delay 40 '" + std::string(kSinger) + "'");
  key("Return");
  ASSERT_TRUE(windowtest::XSession::pumpUntil(
      [&] {
        return differingPixels(grabArea(kResultList.x, kResultList.y, kResultList.width, kResultList.height),
                               emptyList) > 2000;
      },
      10000))
      << "no results listed";
  settle(300);

  // Backwards from the search box: the volume icon, then the list.
  before = grabAround(kResultList);
  key("shift+Tab shift+Tab");
  expectFocusLook(kResultList, before, "keyboard-focus-list.png");

  // Return plays the selected row, not row 3 under the pointer.
  xdotool("mousemove --sync " + std::to_string(kLeft + 120) + " " + std::to_string(kTop + kRowOneY + 2 * kRowHeight));
  key("Down Return");
  ASSERT_GT(framesOnceHeard(copy_, 2.0), 0u) << "Return on the list played nothing";
  key("space");
  EXPECT_TRUE(silent(copy_)) << "Space on the list did not pause";
  key("XF86AudioPlay");
  ASSERT_GT(framesOnceHeard(copy_, 1.0), 0u) << "the play media key did not resume";
  key("XF86AudioNext");
  const std::size_t secondSongHeard = framesOnceHeard(copy_, 2.0);
  ASSERT_GT(secondSongHeard, 0u) << "the next media key played nothing";
  movePointerAway();

  // The volume slider, one stop back from the list: 100 -> 95 -> 90 -> 85, stored.
  before = grabAround(kVolumeSlider);
  key("shift+Tab");
  expectFocusLook(kVolumeSlider, before, "keyboard-focus-slider.png");
  key("Left Left Down");
  EXPECT_TRUE(audiotest::waitFor([&] { return settingsOf(copy_).find("volume size=85\r\n") != std::string::npos; },
                                 std::chrono::seconds(5)))
      << settingsOf(copy_);
  const std::size_t quieterHeard = framesOnceHeard(copy_, 1.0);
  ASSERT_GT(quieterHeard, 0u);

  // The position slider, one more stop back: Right seeks 5 s on.
  key("shift+Tab Right");
  const std::size_t seekHeard = framesOnceHeard(copy_, 1.5);
  ASSERT_GT(seekHeard, 0u);

  // Return in an emptied search box searches (and is refused); on the play button it only
  // pauses, with no refusal. Space on the button plays on.
  key("ctrl+f BackSpace Return");
  ASSERT_TRUE(errorBoxShown(5000)) << "Return in the search box did not search";
  key("Escape");
  ASSERT_TRUE(windowtest::XSession::pumpUntil([] { return !errorBoxShown(0); }, 5000));
  settle(300);
  before = grabAround(kPlayButton);
  key("Tab");
  expectFocusLook(kPlayButton, before, "keyboard-focus-button.png");
  key("Return");
  EXPECT_FALSE(errorBoxShown(1000)) << "Return on the play button also searched";
  EXPECT_TRUE(silent(copy_)) << "Return on the play button did not pause";
  key("space");
  EXPECT_GT(framesOnceHeard(copy_, 0.5), 0u) << "Space on the play button did not play on";
  closeAndExpectZero(*client);

  const auto heard = samplesOf(audiotest::wavData(copy_.capturePath()));
  const auto first = reference(linkOf(service.port(), songs[0]));
  const auto second = samplesOf(reference(linkOf(service.port(), songs[1])));
  expectSameSong(audiotest::wavData(copy_.capturePath()), first);

  // Where the second song lies in what was heard, from a stretch before the volume keys.
  const std::size_t probe = secondSongHeard - kFramesPerSecond / 2;
  const long long at = findFrames(heard, probe, 2048, second, 1.0);
  ASSERT_GE(at, 0) << "the next media key did not play row 2";
  const long long offset = static_cast<long long>(probe) - at;
  // After the volume keys it goes on at 0.85 of its amplitude, where it was.
  const std::size_t quieter = quieterHeard - kFramesPerSecond / 2;
  EXPECT_EQ(findFrames(heard, quieter, 2048, second, 0.85), static_cast<long long>(quieter) - offset)
      << "not heard at volume 85";
  // After Right on the position slider it is 5 s further on than it would have been. A
  // seek primes the decoder afresh, so what follows is the song within rounding, not bit for
  // bit: the best fit near where it should be.
  const std::size_t sought = seekHeard - kFramesPerSecond * 2 / 5;
  const long long unmoved = static_cast<long long>(sought) - offset;
  double misfit = 1.0;
  const long long landed = bestFit(heard, sought, second, 0.85, unmoved + 4 * kFramesPerSecond,
                                   unmoved + 6 * kFramesPerSecond, misfit);
  ASSERT_GE(landed, 0);
  EXPECT_LT(misfit, 0.05) << "what follows the seek is not the song";
  const double jump = static_cast<double>(landed - unmoved) / kFramesPerSecond;
  std::printf("Right on the position slider jumped %.2f s (misfit %.4f)\n", jump, misfit);
  EXPECT_NEAR(jump, 5.0, 0.5);
}

}  // namespace
}  // namespace clienttest
#endif
