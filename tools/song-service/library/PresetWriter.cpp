#include "tools/song-service/library/PresetWriter.h"

#include <cstdio>

#include "platform/system/Files.h"

namespace songservice {

std::string presetText(const LibraryIndex& index, const std::string& host) {
  const auto& songs = index.songs();
  const std::size_t count = std::min(kPresetSongs, songs.size());
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    const IndexedSong& song = songs[i * songs.size() / count];
    const int seconds = (song.millis + 500) / 1000;
    char length[16];
    std::snprintf(length, sizeof length, "%02d:%02d", seconds / 60, seconds % 60);
    if (!text.empty()) text += "\r\n";
    text += "{\"id\":\"" + std::to_string(song.id) + "\",\"title\":\"";
    text += song.title;
    text += "\",\"singer\":\"";
    text += song.singer;
    text += "\",\"url\":\"http://" + host + "/media/" + std::to_string(song.id) + "." +
            mediaExtension(song.kind) + "\",\"length\":\"" + length + "\"}";
  }
  return text;
}

bool writeFileAtomically(const std::string& path, const std::string& text) {
  return platform::system::writeFileAtomically(path, text);
}

}  // namespace songservice
