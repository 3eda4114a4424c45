#include "resources/ResourcePackageWriter.h"

#include "resources/ResourcePackage.h"

namespace resources {
namespace {

std::string_view asText(const ByteBlock& block) {
  return {reinterpret_cast<const char*>(block.data()), block.size()};
}

std::string assemble(const std::vector<std::string_view>& parts, std::string_view separator) {
  std::string out;
  for (std::string_view part : parts) {
    out += part;
    out += separator;
  }
  return out;
}

// A separator is good when splitting the assembled file gives back exactly the parts:
// it must not occur inside a part, nor across the seam of a part and a separator.
bool splitsBack(const std::string& file, const std::vector<std::string_view>& parts) {
  return SplitResourceParts(file) == parts;
}

constexpr int kAttempts = 1000;

int hexValue(char c) { return c <= '9' ? c - '0' : c - 'a' + 10; }

// Seven bytes spread over the whole byte range, taken from a digest text.
std::string separatorFrom(const std::string& hexDigest) {
  std::string bytes(kSeparatorSize, '\0');
  for (size_t i = 0; i < kSeparatorSize; ++i)
    bytes[i] = static_cast<char>(hexValue(hexDigest[2 * i]) * 16 + hexValue(hexDigest[2 * i + 1]));
  return bytes;
}

}  // namespace

std::optional<std::string> PackResourceEntries(const std::vector<ByteBlock>& entries,
                                               const SeparatorCandidates& candidates) {
  std::string joined;
  for (const ByteBlock& entry : entries) joined += asText(entry);
  const std::string digest = PackageDigest(joined);

  std::vector<std::string_view> parts{ResourcePackageMagic(), digest};
  for (const ByteBlock& entry : entries) parts.push_back(asText(entry));

  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string separator = candidates(attempt);
    if (separator.size() != kSeparatorSize) continue;
    std::string file = assemble(parts, separator);
    if (splitsBack(file, parts)) return file;
  }
  return std::nullopt;
}

std::optional<std::string> PackResourceEntries(const std::vector<ByteBlock>& entries) {
  std::string joined;
  for (const ByteBlock& entry : entries) joined += asText(entry);
  std::string seed = PackageDigest(joined);
  // Each attempt hashes the previous seed, so the same entries always give the same file.
  return PackResourceEntries(entries, [&seed](int attempt) {
    seed = PackageDigest(seed + std::to_string(attempt));
    return separatorFrom(seed);
  });
}

}  // namespace resources
