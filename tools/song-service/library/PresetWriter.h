#pragma once
// The client's preset list made from a music folder: twenty of its songs spread over the
// folder, one CR LF line each in GBK, linked to this service.

#include <string>

#include "tools/song-service/library/LibraryIndex.h"

namespace songservice {

inline constexpr std::size_t kPresetSongs = 20;

// The file's text; host is "address:port" as the client reaches the service.
std::string presetText(const LibraryIndex& index, const std::string& host);

// Writes the text to a temporary file beside path and renames it over path; false on failure.
bool writeFileAtomically(const std::string& path, const std::string& text);

}  // namespace songservice
