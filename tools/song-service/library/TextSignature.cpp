#include "tools/song-service/library/TextSignature.h"

namespace songservice {
namespace {

// Pairs and triples hash apart: the length is part of the value.
unsigned bitOf(std::uint32_t gram) {
  return static_cast<unsigned>((gram * 0x9E3779B97F4A7C15ULL) >> 56);
}

}  // namespace

TextSignature TextSignature::of(std::string_view text) {
  TextSignature signature;
  auto set = [&signature](std::uint32_t gram) {
    const unsigned bit = bitOf(gram);
    signature.bits_[bit >> 6] |= std::uint64_t{1} << (bit & 63);
  };
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    const std::uint32_t pair = static_cast<unsigned char>(text[i]) | static_cast<unsigned char>(text[i + 1]) << 8;
    set(pair | 2u << 24);
    if (i + 2 < text.size()) set(pair | static_cast<std::uint32_t>(static_cast<unsigned char>(text[i + 2])) << 16 | 3u << 24);
  }
  return signature;
}

}  // namespace songservice
