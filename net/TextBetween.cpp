#include "net/TextBetween.h"

namespace net {

std::string TextBetween(std::string_view source, std::string_view left, std::string_view right) {
  size_t found = source.find(left);
  if (found == source.npos) return {};
  size_t start = found + left.size();
  size_t end = source.find(right, start);
  if (end == source.npos) return {};
  return std::string(source.substr(start, end - start));
}

}  // namespace net
