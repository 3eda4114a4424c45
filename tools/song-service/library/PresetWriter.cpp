#include "tools/song-service/library/PresetWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

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
  std::string temporary = path + ".XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, 0644) == 0;
  for (std::size_t written = 0; ok && written < text.size();) {
    ssize_t step = ::write(fd, text.data() + written, text.size() - written);
    if (step <= 0) ok = false;
    else written += static_cast<std::size_t>(step);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

}  // namespace songservice
