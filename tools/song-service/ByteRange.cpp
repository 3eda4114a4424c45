#include "tools/song-service/ByteRange.h"

#include <charconv>

namespace songservice {
namespace {

// Digits only, no sign or blanks; false when empty or too large.
bool parseOffset(std::string_view text, std::size_t& out) {
  if (text.empty()) return false;
  auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), out);
  return status == std::errc() && end == text.data() + text.size();
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

ByteRange parseByteRange(std::string_view header, std::size_t size) {
  ByteRange whole{ByteRange::Kind::Whole, 0, size};
  ByteRange bad{ByteRange::Kind::Unsatisfiable, 0, 0};
  header = trimmed(header);
  if (header.empty()) return whole;
  constexpr std::string_view kUnit = "bytes=";
  if (header.substr(0, kUnit.size()) != kUnit) return bad;
  std::string_view spec = trimmed(header.substr(kUnit.size()));
  if (spec.find(',') != std::string_view::npos) return whole;

  std::size_t dash = spec.find('-');
  if (dash == std::string_view::npos) return bad;
  std::string_view from = trimmed(spec.substr(0, dash)), to = trimmed(spec.substr(dash + 1));
  std::size_t first = 0, last = 0;
  if (from.empty()) {  // the last N bytes
    std::size_t suffix = 0;
    if (!parseOffset(to, suffix) || suffix == 0) return bad;
    first = suffix >= size ? 0 : size - suffix;
    last = size - 1;
  } else {
    if (!parseOffset(from, first) || first >= size) return bad;
    if (to.empty()) {
      last = size - 1;
    } else {
      if (!parseOffset(to, last) || last < first) return bad;
      if (last >= size) last = size - 1;
    }
  }
  return {ByteRange::Kind::Part, first, last - first + 1};
}

}  // namespace songservice
