// Package unpacking on arbitrary bytes, and packing what unpacked.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "resources/ResourcePackage.h"
#include "resources/ResourcePackageWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<platform::system::ByteBlock> entries{{1, 2, 3}};
  std::string message;
  if (!resources::UnpackResourceData(input, entries, message)) {
    if (entries != std::vector<platform::system::ByteBlock>{{1, 2, 3}}) std::abort();
    return 0;
  }
  auto repacked = resources::PackResourceEntries(entries);
  if (!repacked) return 0;
  std::vector<platform::system::ByteBlock> again;
  if (!resources::UnpackResourceData(*repacked, again, message) || again != entries) std::abort();
  return 0;
}
