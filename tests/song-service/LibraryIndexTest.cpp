// The in-memory search and the forms texts take in answers.

#include <gtest/gtest.h>

#include "platform/text/CodePage.h"
#include "tools/song-service/library/LibraryIndex.h"
#include "tools/song-service/library/LibraryText.h"
#include "tools/song-service/library/MediaKind.h"

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
