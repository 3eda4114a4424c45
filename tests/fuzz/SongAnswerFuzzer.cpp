// Search answers and preset files cut into rows and lines, on arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/PresetFile.h"
#include "app/SearchAnswer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const auto rows = app::CutSearchAnswer(input);
  if (size <= app::kSmallestSongAnswer && !rows.empty()) std::abort();
  std::size_t separators = 0;
  for (std::size_t at = input.find("},{"); at != std::string_view::npos; at = input.find("},{", at + 3)) ++separators;
  if (!rows.empty() && rows.size() != separators + 1) std::abort();
  for (const auto& row : rows) {
    // A value ends at the first quote after its marker.
    if (row.title.find('"') != std::string::npos || row.singer.find('"') != std::string::npos) std::abort();
  }

  std::size_t bytes = 0;
  for (const auto& line : app::PresetLines(input)) {
    if (line.find("\r\n") != std::string::npos) std::abort();
    bytes += line.size();
  }
  if (bytes > size) std::abort();
  return 0;
}
