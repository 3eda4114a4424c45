// The client on a private X server against the song service over a music folder of its own:
// a singer with a Chinese name searched, her FLAC and Opus songs played in turn and what was
// heard compared with the decoders, and her picture as the service's lookup answers it.

#include <gtest/gtest.h>

#ifdef TUNORA_SONG_SERVICE_TESTS
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "audio/AudioEngine.h"
#include "platform/gfx/ImageDecoder.h"
#include "platform/text/CodePage.h"
#include "tests/app/ClientHeard.h"
#include "tests/app/ClientScreen.h"
#include "tests/support/TestPictures.h"
#include "tests/platform_audio/AudioTestSupport.h"
#include "tests/support/FileContents.h"
#include "tests/support/GeneratedLibrary.h"
#include "tests/support/TempDir.h"
#include "tests/window/XSession.h"

namespace clienttest {
namespace {

using testsupport::GeneratedLibrary;
using testsupport::runQuietly;
using windowtest::XSession;

constexpr const char* kSinger = "林晚星";
constexpr const char* kFlacTitle = "潮汐";
constexpr const char* kOpusTitle = "夜航船";
constexpr std::uint32_t kCoverArgb = 0xFFCC3366;
constexpr int kCoverSide = 32;
constexpr int kRowOneY = 251 + 8, kRowHeight = 17;
constexpr int kListX = 7, kListY = 251, kListWidth = 283, kListHeight = 350;

// Frames the client has heard so far (the capture's header excluded).
std::size_t heardFrames(const ProgramCopy& copy) {
  std::error_code ignored;
  const std::uintmax_t bytes = std::filesystem::file_size(copy.capturePath(), ignored);
  return bytes > 44 && bytes != static_cast<std::uintmax_t>(-1) ? (bytes - 44) / kFrameBytes : 0;
}

// Two three-second songs whose sweeps tell them apart sample by sample (a pure tone would
// match itself a period later), both carrying the same cover.
class SingersFolder {
 public:
  SingersFolder() {
    const std::string cover = dir_.file("cover.jpg");
    const auto jpeg = testpictures::encodeSolid("jpeg", kCoverSide, kCoverSide, kCoverArgb);
    testsupport::writeFile(cover, std::string(jpeg.begin(), jpeg.end()));
    const std::string folder = music() + "/" + kSinger;
    std::filesystem::create_directories(folder);
    flac_ = folder + "/tide.flac";
    const std::string flacSound = dir_.file("tide.wav"), opusSound = dir_.file("boat.wav");
    made_ = sweep(flacSound, "sine 300-900", "sine 500-200") && sweep(opusSound, "sine 700-250", "triangle 150-450") &&
            GeneratedLibrary::encodeSound(flacSound, "flac", flac_, kFlacTitle, kSinger, "", cover) &&
            GeneratedLibrary::encodeSound(opusSound, "opus", folder + "/boat.opus", kOpusTitle, kSinger, "", cover);
  }
  bool made() const { return made_; }
  std::string music() const { return dir_.file("music"); }
  std::string database() const { return dir_.file("index.sqlite"); }
  // The FLAC song as the reference decoder gives it; empty when it cannot.
  std::vector<std::uint8_t> flacDecoded() const {
    const std::string wav = dir_.file("tide.decoded.wav");
    if (!runQuietly({"flac", "--silent", "--force", "-d", "-o", wav, flac_})) return {};
    return audiotest::wavData(wav);
  }

 private:
  static bool sweep(const std::string& path, const std::string& left, const std::string& right) {
    std::vector<std::string> words{"sox", "-n", "-r", "44100", "-c", "2", "-b", "16", path, "synth", "3"};
    for (const std::string& part : {left, right}) {
      words.push_back(part.substr(0, part.find(' ')));
      words.push_back(part.substr(part.find(' ') + 1));
    }
    words.insert(words.end(), {"vol", "0.5"});
    return runQuietly(words);
  }

  testsupport::TempDir dir_;
  std::string flac_;
  bool made_ = false;
};

class ClientOverLibrary : public ClientOnScreen {
 protected:
  // Row index of the title in the list, -1 when absent.
  static int rowOf(const std::vector<app::SongEntry>& songs, const char* titleUtf8) {
    const std::string title = platform::text::utf8ToAnsi(titleUtf8);
    for (std::size_t i = 0; i < songs.size(); ++i)
      if (songs[i].title == title) return static_cast<int>(i);
    return -1;
  }
  // Double-clicks the row and waits until `frames` more have been heard than before.
  bool playRowFor(int row, std::size_t frames) {
    const std::size_t before = heardFrames(copy_);
    clickAt(120, kRowOneY + row * kRowHeight, 2);
    return audiotest::waitFor([&] { return heardFrames(copy_) >= before + frames; }, std::chrono::seconds(30));
  }
};

TEST_F(ClientOverLibrary, PlaysTheFlacAndOpusSongsOfASingerSearchedByHerChineseName) {
  SingersFolder folder;
  ASSERT_TRUE(folder.made()) << "cannot make the songs (are sox, flac and opus-tools installed?)";
  SongService service({"--library", folder.music(), "--database", folder.database()});
  ASSERT_GT(service.port(), 0) << "the song service did not start";
  std::vector<app::SongEntry> songs;
  ASSERT_TRUE(audiotest::waitFor([&] { return (songs = songsOf(service.port(), kSinger)).size() == 2; },
                                 std::chrono::seconds(20)))
      << "the service did not index both songs";
  const int flacRow = rowOf(songs, kFlacTitle), opusRow = rowOf(songs, kOpusTitle);
  ASSERT_GE(flacRow, 0);
  ASSERT_GE(opusRow, 0);
  const std::vector<std::uint8_t> flacReference = reference(linkOf(service.port(), songs[flacRow]));
  const std::vector<std::uint8_t> opusReference = reference(linkOf(service.port(), songs[opusRow]));
  const std::size_t flacFrames = flacReference.size() / kFrameBytes, opusFrames = opusReference.size() / kFrameBytes;
  ASSERT_GT(flacFrames, 2 * kFramesPerSecond);
  ASSERT_GT(opusFrames, 2 * kFramesPerSecond);

  std::ofstream(copy_.folder() + "/program parameter.ini") << "[parameter]\r\nvolume size=100\r\n";
  ASSERT_TRUE(XSession::mapCharacters(kSinger));  // before the client reads the key map
  auto client = start(service.port());
  const auto empty = grabArea(kListX, kListY, kListWidth, kListHeight);
  search(kSinger);
  ASSERT_TRUE(XSession::pumpUntil(
      [&] { return differingPixels(grabArea(kListX, kListY, kListWidth, kListHeight), empty) > 1000; }, 10000))
      << "no results listed";
  settle(300);
  movePointerAway();
  screenshot("client-library-results.png");

  // Each song to its end: the capture leaves out the stretch between them.
  ASSERT_TRUE(playRowFor(flacRow, flacFrames)) << "the FLAC song was not heard to its end";
  ASSERT_TRUE(playRowFor(opusRow, opusFrames)) << "the Opus song was not heard to its end";
  movePointerAway();
  screenshot("client-library-played.png");
  closeAndExpectZero(*client);

  const auto heard = samplesOf(audiotest::wavData(copy_.capturePath()));
  ASSERT_GE(heard.size() / 2, flacFrames + opusFrames);
  const std::vector<std::int16_t> flacHeard(heard.begin(), heard.begin() + 2 * flacFrames);
  const auto flacExpected = samplesOf(flacReference);
  EXPECT_EQ(firstDeparture(flacHeard, flacExpected, kSlideFrames, 1.0), flacFrames)
      << "the FLAC song heard is not the engine's decoding of it";
  const auto decoded = samplesOf(folder.flacDecoded());
  ASSERT_EQ(decoded.size(), flacExpected.size()) << "flac -d gives another length";
  EXPECT_EQ(firstDeparture(flacHeard, decoded, kSlideFrames, 1.0), flacFrames)
      << "the FLAC song heard is not what flac -d decodes";

  // The Opus song follows at once, within a small tolerance: its float decoding is resampled
  // and rounded, which need not come out alike on every run.
  const std::vector<std::int16_t> opusHeard(heard.begin() + 2 * flacFrames,
                                            heard.begin() + 2 * (flacFrames + opusFrames));
  const auto opusExpected = samplesOf(opusReference);
  const double difference = audiotest::relativeDifference(opusHeard, opusExpected, 2 * kSlideFrames);
  std::printf("Opus heard against the engine's decoding: %.5f\n", difference);
  EXPECT_LT(difference, 0.01) << "the Opus song heard is not the engine's decoding of it";

  // The lookup the client's engine makes for a singer's picture answers the songs' cover.
  audio::AudioEngine engine;
  engine.SetPictureServiceHost("127.0.0.1:" + std::to_string(service.port()));
  std::string singer = platform::text::utf8ToAnsi(kSinger);
  const auto picture = platform::gfx::ImageDecoder::decode(engine.LookupSingerPicture(singer));
  ASSERT_NE(picture, nullptr) << "no singer picture";
  EXPECT_EQ(picture->width(), kCoverSide);
  EXPECT_EQ(picture->height(), kCoverSide);
  const std::uint32_t centre = picture->pixel(kCoverSide / 2, kCoverSide / 2);
  for (int shift : {0, 8, 16})
    EXPECT_NEAR(static_cast<int>(centre >> shift & 0xFF), static_cast<int>(kCoverArgb >> shift & 0xFF), 6)
        << "the picture is not the cover";
}

}  // namespace
}  // namespace clienttest
#endif
