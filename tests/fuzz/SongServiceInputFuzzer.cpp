// What the song service reads from outside: Range headers, catalogue index files, and the
// query values of the library's routes (search keywords, links keys, singer names, media
// and picture names).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "tools/song-service/ByteRange.h"
#include "tools/song-service/CatalogueIndex.h"
#include "tools/song-service/library/LibrarySource.h"
#include "tools/song-service/library/LibraryText.h"

namespace {

using namespace songservice;

SongRecord song(long long id, std::string title, std::string singer, std::string album) {
  SongRecord record;
  record.id = id;
  record.path = "/nonexistent/" + std::to_string(id) + ".mp3";
  record.kind = MediaKind::Mp3;
  record.size = 1000;
  record.millis = 61000;
  record.title = std::move(title);
  record.singer = std::move(singer);
  record.album = std::move(album);
  return record;
}

LibrarySource& library() {
  static auto index = std::make_shared<const LibraryIndex>(std::vector<SongRecord>{
      song(1, "月光小径", "白沐阳", "远山"), song(2, "Quote \"x\" \\ },{", "Odd", ""),
      song(3, "Twin", "Twin", "North"), song(4, "Twin", "Twin", "South"), song(5, "노래", "Kim", "Straße")});
  static LibrarySource source([] { return index; });
  return source;
}

void checkLibraryRoutes(const std::string& input) {
  LibrarySource& source = library();
  // A search answer's songs are cut by "},{" and by quotes; none may hide in a title.
  const std::string answer = source.searchAnswer(input, "127.0.0.1");
  std::size_t objects = 0, separators = 0;
  for (std::size_t at = answer.find("{\"songid\""); at != std::string::npos; at = answer.find("{\"songid\"", at + 1))
    ++objects;
  for (std::size_t at = answer.find("},{"); at != std::string::npos; at = answer.find("},{", at + 1)) ++separators;
  if (objects > 0 && separators != objects - 1) std::abort();
  if (auto links = source.linksAnswer(input, "127.0.0.1", "127.0.0.1:1", false);
      links && links->find("\"url\":\"http://127.0.0.1:1/media/") != 1)
    std::abort();
  source.pictureAnswer(input, "127.0.0.1:1");
  // Paths that do not exist: only ids are looked up, so nothing may be opened.
  if (source.media(input) || source.picture(input)) std::abort();
  const std::string form = answerForm(input);
  if (form.find('"') != std::string::npos || form.find("},{") != std::string::npos) std::abort();
  nameText(input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);

  // A served range always lies inside the file.
  for (std::size_t fileSize : {std::size_t{1}, std::size_t{1000}, input.size() + 1}) {
    songservice::ByteRange range = songservice::parseByteRange(input, fileSize);
    if (range.kind == songservice::ByteRange::Kind::Part &&
        (range.length == 0 || range.first >= fileSize || range.length > fileSize - range.first))
      std::abort();
  }

  checkLibraryRoutes(input);

  // An index that parses writes back to one that parses the same, and names no path.
  std::string error;
  auto index = songservice::parseIndex(input, &error);
  if (!index) return 0;
  for (const auto& song : index->songs)
    if (!songservice::isPlainFileName(song.file)) std::abort();
  auto again = songservice::parseIndex(songservice::formatIndex(*index), &error);
  if (!again || songservice::formatIndex(*again) != songservice::formatIndex(*index)) std::abort();
  return 0;
}
