// What the song service reads from outside: Range headers and catalogue index files.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/song-service/ByteRange.h"
#include "tools/song-service/CatalogueIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);

  // A served range always lies inside the file.
  for (std::size_t fileSize : {std::size_t{1}, std::size_t{1000}, input.size() + 1}) {
    songservice::ByteRange range = songservice::parseByteRange(input, fileSize);
    if (range.kind == songservice::ByteRange::Kind::Part &&
        (range.length == 0 || range.first >= fileSize || range.length > fileSize - range.first))
      std::abort();
  }

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
