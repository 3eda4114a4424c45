#pragma once

#include <cstdint>
#include <vector>

namespace platform::system {

// An owned, counted array of bytes: file contents, package entries, image data.
using ByteBlock = std::vector<std::uint8_t>;

}  // namespace platform::system
