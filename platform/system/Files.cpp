#include "platform/system/Files.h"

namespace platform::system {

std::optional<ByteBlock> readWholeFile(const std::string& path) {
  FileRead read = readFile(path);
  if (read.status != FileRead::Status::Read) return std::nullopt;
  return std::move(read.data);
}

}  // namespace platform::system
