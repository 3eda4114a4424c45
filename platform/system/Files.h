#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/system/ByteBlock.h"

namespace platform::system {

// The whole file, or nothing when it cannot be opened or read.
std::optional<ByteBlock> readWholeFile(const std::string& path);

// Replaces path with data so that a crash at any moment leaves either the old or the new
// file: the data goes to a temporary file in the same folder, is flushed to disk and then
// renamed over path. A file that existed keeps its permission bits. False on any failure,
// in which case path is untouched.
bool writeFileAtomically(const std::string& path, std::string_view data);

}  // namespace platform::system
