#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/system/ByteBlock.h"

namespace platform::system {

// What reading a file found. Unreadable covers a file without read permission, a read
// error and anything that is not a regular file (a folder, a pipe, a device).
struct FileRead {
  enum class Status { Read, Missing, Unreadable };
  Status status = Status::Missing;
  ByteBlock data;
};
FileRead readFile(const std::string& path);

// The whole file, or nothing when it cannot be opened or read.
std::optional<ByteBlock> readWholeFile(const std::string& path);

// Replaces path with data so that a crash at any moment leaves either the old or the new
// file: the data goes to a temporary file in the same folder, is flushed to disk and then
// renamed over path. A file that existed keeps its permission bits; a new one gets the
// bits any newly created file gets (0666 less the umask). Something at path that is not a
// regular file is never replaced. False on any failure, in which case path is untouched.
bool writeFileAtomically(const std::string& path, std::string_view data);

}  // namespace platform::system
