// The built catalogue: its songs decode to what the index states, it offers what the client
// and its tests need, and the preset file shipped beside the client plays from the service.

#include <gtest/gtest.h>
#include <mpg123.h>

#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "net/TextBetween.h"
#include "platform/text/CodePage.h"
#include "tests/song-service/ServiceTestSupport.h"
#include "tests/support/SongServiceProcess.h"
#include "tools/song-service/ByteRange.h"

namespace songservice::test {
namespace {

struct Decoded {
  long rate = 0;
  int channels = 0;
  long long samples = 0;  // per channel
  int peak = 0;
};

Decoded decode(const std::string& path) {
  Decoded result;
  std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)> handle(mpg123_new(nullptr, nullptr), mpg123_delete);
  if (!handle || mpg123_open(handle.get(), path.c_str()) != MPG123_OK) return result;
  int encoding = 0;
  if (mpg123_getformat(handle.get(), &result.rate, &result.channels, &encoding) != MPG123_OK) return result;
  mpg123_format_none(handle.get());
  mpg123_format(handle.get(), result.rate, result.channels, MPG123_ENC_SIGNED_16);
  unsigned char buffer[16384];
  std::size_t done = 0;
  int status;
  long long total = 0;
  while ((status = mpg123_read(handle.get(), buffer, sizeof buffer, &done)) == MPG123_OK ||
         status == MPG123_NEW_FORMAT || (status == MPG123_DONE && done > 0)) {
    const auto* samples = reinterpret_cast<const std::int16_t*>(buffer);
    for (std::size_t i = 0; i < done / 2; ++i) result.peak = std::max(result.peak, std::abs(int(samples[i])));
    total += static_cast<long long>(done / 2);
    if (status == MPG123_DONE) break;
  }
  mpg123_close(handle.get());
  result.samples = total / std::max(1, result.channels);
  return result;
}

TEST(SongCatalogue, SongsDecodeToTheLengthsTheIndexStates) {
  mpg123_init();
  CatalogueIndex index = builtIndex();
  for (const IndexSong& song : index.songs) {
    Decoded decoded = decode(kCatalogue + "/" + song.file);
    EXPECT_EQ(decoded.rate, song.sampleRate) << song.file;
    EXPECT_EQ(decoded.channels, song.channels) << song.file;
    EXPECT_EQ(decoded.samples, song.samples) << song.file;
    EXPECT_GT(decoded.peak, 16000) << song.file << " is nearly silent";
  }
}

TEST(SongCatalogue, OffersWhatTheClientAndItsTestsNeed) {
  CatalogueIndex index = builtIndex();
  EXPECT_GE(index.songs.size(), 30u);
  std::map<std::string, int> songsBySinger;
  std::set<std::string> encodings, titles;
  for (const IndexSong& song : index.songs) {
    EXPECT_GE(song.seconds(), 20.0) << song.title;
    EXPECT_LE(song.seconds(), 90.0) << song.title;
    ++songsBySinger[song.singer];
    encodings.insert(song.encoding);
    EXPECT_TRUE(titles.insert(song.title + "\t" + song.singer).second) << "twice: " << song.title;
    // Texts the client cuts by markers and sends back must survive GBK unchanged.
    std::string gbk = platform::text::utf8ToAnsi(song.title + song.singer);
    EXPECT_EQ(platform::text::ansiToUtf8(gbk), song.title + song.singer);
    EXPECT_EQ(gbk.find_first_of("\"\\"), std::string::npos);
  }
  int prolific = 0;
  for (const auto& [singer, count] : songsBySinger) prolific += count > 5;
  EXPECT_GE(prolific, 2) << "singer searches that fill more than five rows";
  for (const char* form : {"cbr128", "vbr44", "mono22-cbr", "mono22-vbr", "cbr160-48k", "vbr48"})
    EXPECT_TRUE(encodings.count(form)) << form;
  for (const IndexSinger& singer : index.singers) EXPECT_TRUE(songsBySinger.count(singer.name)) << singer.name;
}

TEST(SongCatalogue, PresetFileIsGbkCrLfLinesWhoseLinksTheServicePlays) {
  const std::string preset = catalogueFile(kPresetFileName);
  ASSERT_GT(preset.size(), 200u);
  EXPECT_NE(preset.substr(preset.size() - 2), "\r\n") << "a final CR LF would add an empty row";
  std::vector<std::string> lines;
  for (std::size_t start = 0;;) {
    std::size_t end = preset.find("\r\n", start);
    lines.push_back(preset.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  EXPECT_GE(lines.size(), 8u);
  EXPECT_LE(lines.size(), 12u);

  CatalogueIndex index = builtIndex();
  testsupport::SongServiceProcess service(kServiceExe, kCatalogue);
  ASSERT_GT(service.port(), 0);
  const std::string base = "http://127.0.0.1:8725/media/";
  bool hasChinese = false;
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find('\n'), std::string::npos);
    std::string title = platform::text::ansiToUtf8(net::TextBetween(line, "title\":\"", "\""));
    std::string singer = platform::text::ansiToUtf8(net::TextBetween(line, "singer\":\"", "\""));
    std::string url = net::TextBetween(line, "url\":\"", "\"");
    ASSERT_EQ(url.rfind(base, 0), 0u) << line;
    std::string file = url.substr(base.size());
    const IndexSong* song = nullptr;
    for (const IndexSong& candidate : index.songs)
      if (candidate.file == file) song = &candidate;
    ASSERT_NE(song, nullptr) << file;
    EXPECT_EQ(title, song->title);
    EXPECT_EQ(singer, song->singer);
    hasChinese |= static_cast<unsigned char>(title[0]) >= 0x80;
    Fetched served = fetch(service.url("/media/" + file));
    EXPECT_EQ(served.status, 200) << file;
    EXPECT_TRUE(served.body == catalogueFile(file)) << file;
  }
  EXPECT_TRUE(hasChinese);
}

TEST(SongCatalogue, IndexRoundTripsAndRejectsWhatCouldEscapeTheFolder) {
  CatalogueIndex index = builtIndex();
  std::string error;
  auto again = parseIndex(formatIndex(index), &error);
  ASSERT_TRUE(again) << error;
  EXPECT_EQ(formatIndex(*again), formatIndex(index));

  const std::string good = "song\t1\tsong-01.mp3\tT\tS\tA\t44100\t2\t100\tcbr128\n";
  EXPECT_TRUE(parseIndex(good + "\r\n# comment\n", &error));
  for (const std::string bad : {"song\t1\t../secret\tT\tS\tA\t44100\t2\t100\tcbr128\n",
                                "song\t1\t.hidden\tT\tS\tA\t44100\t2\t100\tcbr128\n",
                                "song\t1\tsong-01.mp3\tT\tS\tA\t44100\t2\t-5\tcbr128\n",
                                "song\t1\tsong-01.mp3\t\tS\tA\t44100\t2\t100\tcbr128\n",
                                "song\t1\tsong-01.mp3\tT\tS\n", "singer\tS\tsub/dir.png\n", "album\tX\n",
                                "singer\tS\r\r\tx.png\n"}) {
    error.clear();
    EXPECT_FALSE(parseIndex(good + bad, &error)) << bad;
    EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
  }
}

TEST(SongCatalogue, ByteRangeEdges) {
  using Kind = ByteRange::Kind;
  struct Case {
    const char* header;
    Kind kind;
    std::size_t first, length;
  } cases[] = {
      {"", Kind::Whole, 0, 1000},          {"bytes=0-0", Kind::Part, 0, 1},
      {"bytes=999-", Kind::Part, 999, 1},  {"bytes=-5000", Kind::Part, 0, 1000},
      {"bytes=1000-", Kind::Unsatisfiable, 0, 0}, {"bytes=5-4", Kind::Unsatisfiable, 0, 0},
      {"bytes=x-4", Kind::Unsatisfiable, 0, 0},   {"bytes=-", Kind::Unsatisfiable, 0, 0},
      {"bytes=+1-2", Kind::Unsatisfiable, 0, 0},  {"bytes=99999999999999999999-", Kind::Unsatisfiable, 0, 0},
      {"bytes=0-1,3-4", Kind::Whole, 0, 1000},
  };
  for (const Case& c : cases) {
    ByteRange range = parseByteRange(c.header, 1000);
    EXPECT_EQ(range.kind, c.kind) << c.header;
    if (range.kind != Kind::Unsatisfiable) {
      EXPECT_EQ(range.first, c.first) << c.header;
      EXPECT_EQ(range.length, c.length) << c.header;
    }
  }
}

}  // namespace
}  // namespace songservice::test
