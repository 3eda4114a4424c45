// A stream chained to another starts at the frame after the other's last: one sweep cut in
// two plays back whole, with nothing lost, repeated or left silent at the cut.

#include <gtest/gtest.h>

#include "AudioTestSupport.h"

using namespace audiotest;

namespace {

HSTREAM open(const std::string& name) {
  return BASS_StreamCreateFile(FALSE, media(name).c_str(), 0, 0, 0);
}

QWORD length(HSTREAM stream) { return BASS_ChannelGetLength(stream, BASS_POS_BYTE); }
QWORD position(HSTREAM stream) { return BASS_ChannelGetPosition(stream, BASS_POS_BYTE); }

std::size_t firstDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return i;
}

class Chain : public testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(Chain, TheSecondHalfFollowsTheFirstWithoutAGap) {
  const std::string ext = GetParam();
  CaptureSession session(4.0, 44100, true);  // a gap would show
  ASSERT_TRUE(session.ready());
  HSTREAM first = open("sweep-a." + ext);
  HSTREAM second = open("sweep-b." + ext);
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, 0u);
  ASSERT_TRUE(BASS_ChannelPlay(first, FALSE));
  ASSERT_TRUE(BASS_ChannelSetFollower(first, second));
  EXPECT_EQ(BASS_ChannelIsActive(second), BASS_ACTIVE_STOPPED);
  EXPECT_EQ(position(second), 0u);

  ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(first) == BASS_ACTIVE_STOPPED; }));
  EXPECT_EQ(position(first), length(first));
  EXPECT_NE(BASS_ChannelIsActive(second), BASS_ACTIVE_STOPPED);
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(second) == BASS_ACTIVE_STOPPED; }));
  EXPECT_EQ(position(second), length(second));

  std::vector<std::uint8_t> heard = session.finish();
  // Lossless halves give back the uncut source; lossy ones each half's own decode.
  std::vector<std::uint8_t> expected;
  if (ext == "wav" || ext == "flac") {
    expected = wavData(media("sweep.wav"));
  } else {
    expected = wavData(media("sweep-a." + ext + ".ref.wav"));
    auto tail = wavData(media("sweep-b." + ext + ".ref.wav"));
    expected.insert(expected.end(), tail.begin(), tail.end());
  }
  ASSERT_FALSE(expected.empty());
  std::string cut = "the cut is at byte " + std::to_string(wavData(media("sweep-a.wav")).size());
  if (ext == "ogg") {
    EXPECT_EQ(vorbisMismatch(heard, expected), "") << cut;
  } else {
    EXPECT_EQ(heard.size(), expected.size());
    EXPECT_EQ(firstDifference(heard, expected), expected.size()) << cut;
  }
}

// MP3 with the encoder's delay and padding, which the decoder's gapless mode trims.
INSTANTIATE_TEST_SUITE_P(Formats, Chain, testing::Values("wav", "flac", "mp3", "ogg"));

TEST(ChainEnds, OnASeekOfTheFirstOrAFreeOfEither) {
  CaptureSession session(16.0);
  ASSERT_TRUE(session.ready());
  HSTREAM first = open("talk.wav");  // long enough to seek in before it ends
  HSTREAM second = open("sweep-b.wav");
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, 0u);
  // Too late for a stopped first; a follower that plays already cannot follow.
  EXPECT_FALSE(BASS_ChannelSetFollower(first, second));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOPLAY);
  ASSERT_TRUE(BASS_ChannelPlay(first, FALSE));
  EXPECT_FALSE(BASS_ChannelSetFollower(first, first));
  EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);

  // A seek of the first ends the chain: the second does not start.
  ASSERT_TRUE(BASS_ChannelSetFollower(first, second));
  ASSERT_TRUE(BASS_ChannelSetPosition(first, length(first) / 2 / 4 * 4, BASS_POS_BYTE));
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(first) == BASS_ACTIVE_STOPPED; }));
  EXPECT_EQ(BASS_ChannelIsActive(second), BASS_ACTIVE_STOPPED);
  EXPECT_EQ(position(second), 0u);

  // Freeing the follower leaves the first to end by itself; freeing the first leaves the
  // follower stopped and whole.
  HSTREAM third = open("sweep-b.wav");
  ASSERT_TRUE(BASS_ChannelPlay(first, TRUE));
  ASSERT_TRUE(BASS_ChannelSetFollower(first, third));
  ASSERT_TRUE(BASS_StreamFree(third));
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(first) == BASS_ACTIVE_STOPPED; }));
  ASSERT_TRUE(BASS_ChannelPlay(first, TRUE));
  ASSERT_TRUE(BASS_ChannelSetFollower(first, second));
  ASSERT_TRUE(BASS_StreamFree(first));
  EXPECT_EQ(BASS_ChannelIsActive(second), BASS_ACTIVE_STOPPED);
  EXPECT_EQ(position(second), 0u);
  ASSERT_TRUE(BASS_ChannelPlay(second, FALSE));
  EXPECT_FALSE(BASS_ChannelSetFollower(second, second));
  ASSERT_TRUE(waitFor([&] { return BASS_ChannelIsActive(second) == BASS_ACTIVE_STOPPED; }));
  EXPECT_EQ(position(second), length(second));
}
