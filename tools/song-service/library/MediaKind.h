#pragma once
// What kind of audio a file holds, told by its first bytes rather than its name. Only what the
// client's engine plays counts; AAC, WMA and the rest are None.

#include <cstddef>
#include <string_view>

#include "tools/song-service/OpenFile.h"

namespace songservice {

enum class MediaKind { None = 0, Mp3 = 1, Vorbis = 2, Opus = 3, Flac = 4, Wav = 5 };

// The file's head (at least the first 64 bytes when the file has them) and a probe of the
// bytes at a later offset: after an ID3v2 tag the real start of the stream lies further on.
struct MediaHead {
  std::string_view head;
  std::size_t tagEnd = 0;         // offset of the bytes in afterTag (0: no ID3v2 tag)
  std::string_view afterTag;      // bytes from tagEnd on, when there is a tag
};

// Size of an ID3v2 tag at the start of the head, 0 when there is none.
std::size_t id3v2Size(std::string_view head);

MediaKind detectMediaKind(const MediaHead& head);

// "mp3", "ogg", "opus", "flac", "wav"; "" for None.
const char* mediaExtension(MediaKind kind);
const char* mediaContentType(MediaKind kind);

// Reads the head of an open file and tells its kind; None on a read error.
MediaKind detectFileKind(const OpenFile& file);

}  // namespace songservice
