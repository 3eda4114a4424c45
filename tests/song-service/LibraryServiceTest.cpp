// The service over a generated music folder, asked the way the client asks: searches, links
// keys sent back as cut from the answers, media by id with ranges, singer pictures, presets.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "net/QueryEncoding.h"
#include "net/TextBetween.h"
#include "platform/text/CodePage.h"
#include "tests/song-service/LibraryProcess.h"
#include "tests/song-service/ServiceTestSupport.h"
#include "tests/support/FileContents.h"
#include "tests/support/GeneratedLibrary.h"
#include "tests/support/SongServiceProcess.h"
#include "tests/support/TempDir.h"

namespace songservice::test {
namespace {

using testsupport::GeneratedLibrary;

class LibraryService : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    database_ = std::make_unique<testsupport::TempDir>();
    service_ = std::make_unique<LibraryProcess>(GeneratedLibrary::get().root(), database_->file("index.sqlite"),
                                                std::vector<std::string>{"--write-presets", database_->file("presets.txt")});
    service_->waitFor("Morning Light", [](const auto& songs) { return !songs.empty(); }, std::chrono::seconds(20));
  }
  static void TearDownTestSuite() {
    service_.reset();
    database_.reset();
  }
  void SetUp() override { ASSERT_GT(service_->port(), 0); }

  static std::unique_ptr<testsupport::TempDir> database_;
  static std::unique_ptr<LibraryProcess> service_;
};
std::unique_ptr<testsupport::TempDir> LibraryService::database_;
std::unique_ptr<LibraryProcess> LibraryService::service_;

TEST_F(LibraryService, OffersEveryPlayableFormatByContentAndNamesUntaggedFiles) {
  struct Expected {
    const char *keyword, *title, *singer, *format;
  } expected[] = {
      {"Morning Light", "Morning Light", "Aurora Vale", "mp3"},
      {"Evening", "Evening Tide", "Aurora Vale", "flac"},
      {"回声", "远山的回声", "白沐阳", "ogg"},
      {"星河", "星河列车", "白沐阳", "opus"},
      {"桜", "桜の道", "山田花子", "flac"},
      {"untagged", "my untagged song", "Untagged Singer", "wav"},
      {"Hidden", "Hidden Name", "Misnamed", "mp3"},
      {"月光", "月光", "白沐阳", "mp3"},  // an untagged file and folder named in GBK
  };
  for (const Expected& want : expected) {
    std::vector<Song> songs = service_->search(want.keyword);
    ASSERT_EQ(songs.size(), 1u) << want.keyword;
    EXPECT_EQ(songs[0].title, want.title);
    EXPECT_EQ(songs[0].singer, want.singer);
    EXPECT_EQ(songs[0].format, want.format);
  }
  // AAC, WMA, words named like a song and a cut FLAC are not offered; the loop ended.
  for (const char* keyword : {"aac", "song.wma", "broken", "truncated", "Damaged"})
    EXPECT_TRUE(service_->search(keyword).empty()) << keyword;
}

TEST_F(LibraryService, EveryWordMatchesAnywhereIgnoringCaseAndRanksSingerThenTitle) {
  std::vector<Song> songs = service_->search("沐阳");
  EXPECT_EQ(songs.size(), 3u);  // two tagged songs and the GBK-named folder's file
  for (const Song& song : songs) EXPECT_EQ(song.singer, "白沐阳");
  EXPECT_EQ(service_->search("MORNING aurora").size(), 1u);
  EXPECT_EQ(service_->search("LIGHT aurora").size(), 2u);  // one by its album
  EXPECT_EQ(service_->search("first light").size(), 2u);  // the album
  std::vector<Song> star = service_->search("star");
  ASSERT_EQ(star.size(), 3u);
  EXPECT_EQ(star[0].singer, "Star");
  EXPECT_EQ(star[1].title, "Star Gazing");
  EXPECT_EQ(star[2].album, "Bright Star Album");
  EXPECT_LE(service_->searchAnswer("   ").size(), 200u);
}

TEST_F(LibraryService, TitlesNeverCarryTheClientsMarkersAndTheirLinksStillWork) {
  std::vector<Song> odd = service_->search("quote");
  ASSERT_EQ(odd.size(), 1u);
  EXPECT_EQ(odd[0].title, "Quote ＂A＂ ＼ B }, { C");
  std::vector<Song> korean = service_->search("Song Kim");
  ASSERT_EQ(korean.size(), 1u);
  EXPECT_EQ(korean[0].title, "?? Song");  // GBK has no Hangul
  EXPECT_EQ(korean[0].singer, "Kim ??");
  for (const Song& song : {odd[0], korean[0]}) {
    std::string link = service_->link(song);
    ASSERT_FALSE(link.empty()) << song.title;
    Fetched media = fetch(link);
    EXPECT_EQ(media.status, 200);
    EXPECT_EQ(media.header("Content-Type"), "audio/mpeg");
  }
}

TEST_F(LibraryService, ASharedLinksKeyGivesTheSongAnsweredLastElseTheFirstByPath) {
  std::vector<Song> twins = service_->search("twin song");
  ASSERT_EQ(twins.size(), 2u);
  std::vector<Song> south = service_->search("south");
  ASSERT_EQ(south.size(), 1u);
  EXPECT_NE(service_->link(south[0]).find(".ogg"), std::string::npos);
  std::vector<Song> north = service_->search("north twin");
  ASSERT_EQ(north.size(), 1u);
  EXPECT_NE(service_->link(north[0]).find(".mp3"), std::string::npos);
}

TEST_F(LibraryService, MediaByIdWithRangesValidatorsAndTypes) {
  const GeneratedLibrary& library = GeneratedLibrary::get();
  struct Case {
    const char *keyword, *file, *type;
  } cases[] = {
      {"Morning Light", "Aurora Vale/First Light/01 Morning Light.mp3", "audio/mpeg"},
      {"Evening", "Aurora Vale/First Light/02.flac", "audio/flac"},
      {"回声", "白沐阳/远山.ogg", "audio/ogg"},
      {"星河", "白沐阳/星河.opus", "audio/ogg; codecs=opus"},
      {"untagged", "Untagged Singer/my untagged song.wav", "audio/wav"},
  };
  for (const Case& item : cases) {
    std::vector<Song> songs = service_->search(item.keyword);
    ASSERT_EQ(songs.size(), 1u) << item.keyword;
    const std::string link = service_->link(songs[0]);
    const std::string bytes = testsupport::readFile(library.path(item.file));
    Fetched whole = fetch(link);
    EXPECT_EQ(whole.status, 200) << link;
    EXPECT_TRUE(whole.body == bytes) << link;
    EXPECT_EQ(whole.header("Content-Type"), item.type);
    EXPECT_EQ(whole.header("Accept-Ranges"), "bytes");
    EXPECT_FALSE(whole.header("ETag").empty());
    EXPECT_FALSE(whole.header("Last-Modified").empty());
    Fetched part = fetch(link, "Range: bytes=100-299");
    EXPECT_EQ(part.status, 206);
    EXPECT_TRUE(part.body == bytes.substr(100, 200));
    Fetched head = fetch(link, "", true);
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.header("Content-Length"), std::to_string(bytes.size()));
    EXPECT_TRUE(head.body.empty());
  }
  // Only index ids name files: paths, other extensions and unknown ids find nothing.
  for (const char* path : {"/media/..%2F..%2Fetc%2Fpasswd", "/media/1.wma", "/media/999999.mp3", "/media/x.mp3",
                           "/media/-1.mp3", "/pictures/..%2Fcover.jpg"})
    EXPECT_EQ(fetch(service_->url(path)).status, 404) << path;
}

TEST_F(LibraryService, SingerPicturesComeFromEmbeddedCoversOrTheFoldersCoverFile) {
  auto pictureOf = [](const std::string& singer) {
    Fetched lookup = fetch(service_->url("/new/app/i/yueku.php?singer=" + LibraryProcess::encoded(utf8ToAnsi(singer)) +
                                         "&cmd=104&type=softhead&size=120"));
    std::string address = net::TextBetween(lookup.body, "url\":\"", "\"");
    for (std::size_t at = address.find("\\/"); at != std::string::npos; at = address.find("\\/", at + 1))
      address.replace(at, 2, "/");
    return address.empty() ? Fetched{} : fetch(address);
  };
  Fetched embedded = pictureOf("Aurora Vale");
  EXPECT_EQ(embedded.status, 200);
  EXPECT_EQ(embedded.header("Content-Type"), "image/jpeg");
  EXPECT_EQ(embedded.body.substr(0, 3), "\xFF\xD8\xFF");
  EXPECT_EQ(pictureOf("星河").status, 0);  // a title is no singer
  EXPECT_EQ(pictureOf("白沐阳").status, 200);  // the opus file's picture
  Fetched beside = pictureOf("folder cover singer");
  EXPECT_EQ(beside.status, 200);
  EXPECT_TRUE(beside.body == testsupport::readFile(GeneratedLibrary::get().path("Folder Cover/cover.jpg")));
  EXPECT_EQ(pictureOf("Twin").status, 0);  // no cover anywhere
}

TEST_F(LibraryService, PresetFileListsSongsInTheClientsFormat) {
  // The service writes the file once its scan is done, which may be after it first answers.
  std::string text;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while ((text = testsupport::readFile(database_->file("presets.txt"))).empty() &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::vector<std::string> lines = split(text, "\r\n");
  EXPECT_GT(text.size(), 200u);
  EXPECT_EQ(lines.size(), 16u);  // every song when there are fewer than twenty
  for (const std::string& line : lines) {
    EXPECT_FALSE(net::TextBetween(line, "title\":\"", "\"").empty()) << line;
    EXPECT_FALSE(net::TextBetween(line, "singer\":\"", "\"").empty()) << line;
    std::string url = net::TextBetween(line, "url\":\"", "\"");
    EXPECT_EQ(url.find("http://127.0.0.1:" + std::to_string(service_->port()) + "/media/"), 0u) << line;
  }
  EXPECT_EQ(fetch(net::TextBetween(lines[0], "url\":\"", "\"")).status, 200);
}

}  // namespace
}  // namespace songservice::test
