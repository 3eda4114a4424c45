// Damaged music files as the library scanner meets them: the kind told by the first bytes,
// then TagLib reading tags, length and the embedded cover as each kind the service offers.

#include <tbytevectorstream.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/song-service/library/MediaKind.h"
#include "tools/song-service/library/TagReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace songservice;
  std::string input(reinterpret_cast<const char*>(data), size);
  MediaHead head{input, 0, {}};
  if (std::size_t tag = id3v2Size(input); tag > 0 && tag < input.size()) {
    head.tagEnd = tag;
    head.afterTag = std::string_view(input).substr(tag);
  }
  const MediaKind detected = detectMediaKind(head);
  for (MediaKind kind : {MediaKind::Mp3, MediaKind::Vorbis, MediaKind::Opus, MediaKind::Flac, MediaKind::Wav}) {
    // The detected kind always, the others now and then: damage may hide what a file is.
    if (kind != detected && (size % 5) != static_cast<std::size_t>(kind) - 1) continue;
    TagLib::ByteVector bytes(input.data(), static_cast<unsigned>(input.size()));
    TagLib::ByteVectorStream stream(bytes);
    auto tags = readSongTags(stream, kind);
    if (tags && tags->millis <= 0) std::abort();
    TagLib::ByteVectorStream again(bytes);
    readEmbeddedCover(again, kind);
  }
  return 0;
}
