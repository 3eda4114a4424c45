#pragma once
// The preset file "\plugins\js_rilu.txt": CR LF lines, each with the title, singer and url
// members of one song. It is read again whenever a row is played.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/ProgramFiles.h"

namespace app {

// Files of this size or less are not used.
inline constexpr std::size_t kSmallestPresetFile = 200;

// The lines of a preset file's text, split at CR LF; a final CR LF gives no empty line.
// None for a text of at most kSmallestPresetFile bytes.
std::vector<std::string> PresetLines(std::string_view text);

// The lines of the preset file at path; none when it is missing or too small.
std::vector<std::string> PresetLinesOfFile(const std::string& path);
// The same for the preset file in a folder.
std::vector<std::string> PresetFileLines(const std::string& folder);
// The program's preset file: the user's own when there is one, else the one it ships.
std::string PresetFilePath(const platform::system::ProgramFiles& files);

// The url member of the row's line (rows count from 1) in the folder's preset file, read
// again; empty when the file is missing or too small, or the row is not one of its lines.
std::string PresetUrlOfRow(const std::string& folder, int row);
// The url of the line that holds the song a row shows: the row's own line while it still
// names that title and singer, else the first line that does, for the song service writes
// the file anew in another order when the library changes. Empty when no line does. Any
// thread.
std::string PresetUrlOfSong(const platform::system::ProgramFiles& files, int row, const std::string& title,
                            const std::string& singer);

// Tells a rewritten preset file from the one read before without reading it; all zero when
// the file is missing.
struct PresetFileStamp {
  std::uintmax_t size = 0;
  std::int64_t changed = 0;
  bool operator==(const PresetFileStamp&) const = default;
};
PresetFileStamp StampOfPresetFile(const std::string& path);

}  // namespace app
