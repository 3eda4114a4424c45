// The in-memory search and the forms texts take in answers.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/text/CodePage.h"
#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"
#include "tools/song-service/library/LibraryIndex.h"
#include "tools/song-service/library/LibrarySource.h"
#include "tools/song-service/library/LibraryText.h"
#include "tools/song-service/library/MediaKind.h"
#include "tools/song-service/library/TextSignature.h"

namespace songservice::test {
namespace {

SongRecord record(long long id, const std::string& path, const std::string& title, const std::string& singer,
                  const std::string& album = "") {
  SongRecord song;
  song.id = id;
  song.path = path;
  song.kind = MediaKind::Mp3;
  song.title = title;
  song.singer = singer;
  song.album = album;
  return song;
}

TEST(LibraryIndex, SearchFindsFoldedInfixesOfEveryWordAndCapsTheAnswer) {
  std::vector<SongRecord> records{record(1, "/m/a", "Straße", "ÉDITH"), record(2, "/m/b", "歌", "白沐阳乐队"),
                                  record(3, "/m/c", "x", "y", "")};
  records.push_back(record(4, "/m/d", "None", "Nobody"));
  records.back().kind = MediaKind::None;  // stored but no song
  for (int i = 0; i < 1500; ++i) records.push_back(record(100 + i, "/m/z" + std::to_string(i), "many", "x"));
  LibraryIndex index(records);
  EXPECT_EQ(index.search("STRASSE").size(), 1u);  // full case folding
  EXPECT_EQ(index.search("édith straße").size(), 1u);
  EXPECT_EQ(index.search("沐阳").size(), 1u);
  EXPECT_TRUE(index.search("nobody").empty());
  EXPECT_EQ(index.search("many").size(), LibraryIndex::kMostHits);
  EXPECT_TRUE(index.search(std::string("\xFF\xFE", 2)).empty());
}

// Paths put the title-prefix songs in reverse of their title order, so ranking by path is seen.
TEST(LibraryIndex, RanksSingerThenTitlePrefixThenTheRestByPathUpToTheCap) {
  auto path = [](int n) {
    char text[16];
    std::snprintf(text, sizeof text, "/m/%05d", n);
    return std::string(text);
  };
  std::vector<SongRecord> records;
  for (int i = 0; i < 1200; ++i) records.push_back(record(i + 1, path(20000 - i), "Star " + std::to_string(i), "x"));
  records.push_back(record(5000, path(30000), "Starlight", "Star"));  // the singer ranks first
  for (int i = 0; i < 5; ++i) records.push_back(record(6000 + i, path(10 + i), "y", "Star"));
  std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.path < b.path; });
  LibraryIndex index(records);
  auto idsOf = [&](const std::vector<std::uint32_t>& hits) {
    std::vector<long long> ids;
    for (std::uint32_t hit : hits) ids.push_back(index.songs()[hit].id);
    return ids;
  };
  std::vector<long long> ids = idsOf(index.search("star"));
  ASSERT_EQ(ids.size(), LibraryIndex::kMostHits);
  std::vector<long long> want{6000, 6001, 6002, 6003, 6004, 5000};
  for (int i = 1199; want.size() < LibraryIndex::kMostHits; --i) want.push_back(i + 1);  // lowest paths first
  EXPECT_EQ(ids, want);

  // Few prefix hits: the rest follow by path, each holding every word somewhere.
  records.clear();
  for (int i = 0; i < 1500; ++i)
    records.push_back(record(i + 1, path(i), i % 3 ? "a night" : "tide of night", i % 2 ? "low Tide" : "z"));
  records.push_back(record(9000, path(99999), "Night tide song", "q"));  // the title ranks first
  LibraryIndex rest(records);
  std::vector<std::uint32_t> hits = rest.search("night TIDE");
  ASSERT_EQ(hits.size(), 1000u);
  EXPECT_EQ(rest.songs()[hits[0]].id, 9000);
  for (std::size_t i = 2; i < hits.size(); ++i) EXPECT_LT(hits[i - 1], hits[i]);
  for (std::size_t i = 1; i < hits.size(); ++i) {
    const IndexedSong& song = rest.songs()[hits[i]];
    EXPECT_TRUE(song.title.find("tide") != std::string::npos || song.singer.find("Tide") != std::string::npos);
  }
  EXPECT_EQ(rest.songs()[hits.back()].id, 1498);  // four of every six hold both words
}

TEST(LibraryIndex, SongsKeepTheirTextsAndAreFoundByIdLinkKeyAndSinger) {
  std::vector<SongRecord> records;
  for (int i = 0; i < 3000; ++i)
    records.push_back(record(10 + i, "/m/" + std::to_string(i), "t" + std::to_string(i), "s" + std::to_string(i % 7)));
  records.push_back(record(1, "/m/月光", "月光", "Twin"));
  records.push_back(record(2, "/m/月光 2", "月光", "twin"));
  const LibraryIndex index(records);
  const IndexedSong* song = index.byId(2009);
  ASSERT_NE(song, nullptr);
  EXPECT_EQ(song->path, "/m/1999");
  EXPECT_EQ(song->title, "t1999");
  EXPECT_EQ(song->singer, "s4");
  EXPECT_EQ(index.byId(9), nullptr);
  EXPECT_EQ(index.withLinkKey(platform::text::utf8ToAnsi("月光TWIN")).size(), 2u);  // ASCII in any case
  const std::vector<const IndexedSong*> s5 = index.songsOfSinger("S5");
  ASSERT_EQ(s5.size(), 428u);
  EXPECT_EQ(s5[0]->id, 15);  // in the index's (path) order
  EXPECT_EQ(s5[1]->id, 22);
  EXPECT_EQ(index.songsOfSinger("TWIN").size(), 2u);
  EXPECT_TRUE(index.songsOfSinger("s").empty());
}

// The singer's folder as found from outside: the album's cover beside two songs, and an
// Opus song without a cover one level up, named to sort before and after the album.
TEST(LibrarySource, SingerPictureIsTheCoverWhateverTheOrderOfTheSingersFiles) {
  testsupport::TempDir dir;
  const std::string cover = "\xFF\xD8\xFF\xE0 a cover";
  std::filesystem::create_directories(dir.file("Singer/Album A"));
  testsupport::writeFile(dir.file("Singer/Album A/cover.jpg"), cover);
  for (const char* opus : {"Singer/0 intro.opus", "Singer/Zed.opus"}) {
    std::vector<SongRecord> records{record(1, dir.file(opus), "Intro", "Aster"),
                                    record(2, dir.file("Singer/Album A/01.mp3"), "One", "Aster"),
                                    record(3, dir.file("Singer/Album A/02.mp3"), "Two", "Aster"),
                                    record(4, dir.file("Other/01.mp3"), "Other", "Nobody Pictured")};
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.path < b.path; });
    auto index = std::make_shared<const LibraryIndex>(records);
    LibrarySource source([index] { return index; });
    const std::string answer = source.pictureAnswer("Aster", "h:1");
    EXPECT_NE(answer.find("\"url\":\"http:\\/\\/h:1\\/pictures\\/2.jpg\""), std::string::npos) << opus << answer;
    std::optional<MediaBody> picture = source.picture("2.jpg");
    ASSERT_TRUE(picture && picture->bytes) << opus;
    EXPECT_EQ(*picture->bytes, cover);
    EXPECT_EQ(source.pictureAnswer("Nobody Pictured", "h:1"), "{\"status\":0,\"error\":\"no picture for this singer\"}");
    EXPECT_EQ(source.pictureAnswer("Nobody", "h:1"), "{\"status\":0,\"error\":\"no such singer\"}");
  }
}

TEST(TextSignature, EveryPieceOfATextIsCovered) {
  std::string text = "ab\x1Fstraße 月光\x1E";
  for (int i = 0; i < 200; ++i) text += static_cast<char>('a' + (i * 7919) % 26);
  const TextSignature whole = TextSignature::of(text);
  for (std::size_t from = 0; from < text.size(); ++from)
    for (std::size_t length = 0; from + length <= text.size(); length += 1 + length / 8)
      ASSERT_TRUE(whole.covers(TextSignature::of(text.substr(from, length)))) << from << " " << length;
  EXPECT_FALSE(TextSignature::of("ab").covers(TextSignature::of("ba")));
}

TEST(LibraryText, AnswerFormsKeepMarkersOutAndNamesDecodeAsGbk) {
  EXPECT_EQ(platform::text::ansiToUtf8(answerForm("a\"b\\c},{d\te")), "a＂b＼c}, {d e");
  EXPECT_EQ(answerForm("노"), "?");
  // A GBK character whose second byte is '}' before ",{" gets the blank too.
  EXPECT_EQ(answerForm("\xE7\x9A\x9A,{"), "\xB0\x7D, {");  // 皚 is B0 7D
  EXPECT_EQ(nameText("\xd4\xc2\xb9\xe2"), "月光");
  EXPECT_EQ(nameText("plain"), "plain");
  EXPECT_FALSE(nameText("\xFF\xFF\x80").empty());
}

TEST(MediaKind, ContentDecidesNotTheName) {
  auto kind = [](const std::string& head) { return detectMediaKind(MediaHead{head, 0, {}}); };
  EXPECT_EQ(kind("fLaC" + std::string(40, '\0')), MediaKind::Flac);
  EXPECT_EQ(kind(std::string("RIFF\x24\x00\x00\x00WAVEfmt ", 16)), MediaKind::Wav);
  std::string ogg = "OggS" + std::string(24, '\0');
  EXPECT_EQ(kind(ogg + "\x01vorbis" + std::string(20, '\0')), MediaKind::Vorbis);
  EXPECT_EQ(kind(ogg + "OpusHead" + std::string(20, '\0')), MediaKind::Opus);
  EXPECT_EQ(kind(ogg + "\x7F" "FLAC" + std::string(20, '\0')), MediaKind::None);
  // Two MPEG-1 layer III frames of 128 kbit/s at 44.1 kHz (417 bytes each).
  std::string frame = std::string("\xFF\xFB\x90\x00", 4) + std::string(413, '\0');
  EXPECT_EQ(kind(frame + frame), MediaKind::Mp3);
  EXPECT_EQ(kind(std::string("\xFF\xF1\x50\x80", 4) + std::string(400, '\0')), MediaKind::None);  // AAC
  EXPECT_EQ(kind(std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8)), MediaKind::None);          // WMA
  EXPECT_EQ(id3v2Size(std::string("ID3\x04\x00\x00\x00\x00\x01\x00", 10)), 138u);
}

}  // namespace
}  // namespace songservice::test
