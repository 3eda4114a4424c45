// Rapid double clicks alternating between rows while the timer and the other playback
// handlers run: one stream at most at any moment, the newest song at the end, no hang.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/app/ClientTestSupport.h"

// The controls measure text through Pango, which loads fonts on a fontconfig thread of its
// own; its locking is not visible to ThreadSanitizer.
extern "C" const char* __tsan_default_suppressions() {
  return "race:libfontconfig.so.1\ncalled_from_lib:libfontconfig.so.1\n";
}

namespace {

using namespace clienttest;

constexpr HSTREAM kFirstHandle = 0x10001;

int liveStreams(HSTREAM highest) {
  int live = 0;
  for (HSTREAM h = kFirstHandle; h <= highest + 8; ++h) {
    if (BASS_ChannelGetPosition(h, BASS_POS_BYTE) != static_cast<QWORD>(-1)) ++live;
  }
  return live;
}

TEST(PlayRace, TwoHundredAlternatingDoubleClicksNeverLeaveTwoStreams) {
  createMainWindowParts();
  resetMainWindowParts();
  ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
  SongServer server({{"Rain", "Ana", "talk.mp3"}, {"Snow", "Ana", "tone.mp3"}});
  ServiceAddressScope address(server.address());
  auto& parts = mainParts();
  parts.searchBox.text("Ana");
  client().window.search().onEnter();
  ASSERT_EQ(parts.resultList.rowCount(), 2);

  HSTREAM highest = kFirstHandle;
  int mostAtOnce = 0;
  for (int i = 0; i < 200; ++i) {
    parts.resultList.selectedRow(1 + i % 2);
    client().window.onListDoubleClick(parts.resultList.id(), ui::kKindList);
    desk().pump();
    client().player.tick();
    if (i % 7 == 0) client().player.togglePause();
    if (i % 11 == 0) client().player.seekToPercent(i % 100);
    if (i % 13 == 0) client().player.setVolume(i % 100);
    highest = std::max(highest, client().player.currentStream());
    if (i % 10 == 0) mostAtOnce = std::max(mostAtOnce, liveStreams(highest + 4));
  }
  client().player.waitForPlayRequests();
  highest = std::max(highest, client().player.currentStream());
  EXPECT_LE(mostAtOnce, 1);
  EXPECT_EQ(liveStreams(highest + 4), 1);
  EXPECT_EQ(parts.songLabel.text(), "Snow\r\nAna");
  client().player.stop();
  EXPECT_EQ(liveStreams(highest + 4), 0);
  BASS_Free();
}

}  // namespace
