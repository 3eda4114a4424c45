// URL splitting, marker cutting and query encoding on arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/QueryEncoding.h"
#include "net/TextBetween.h"
#include "net/UrlParts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);

  std::string host = net::HostOfUrl(input);
  std::string path = net::PathOfUrl(input);
  net::PortOfUrl(input);
  if (host.size() > input.size() || path.empty() || path.front() != '/') std::abort();

  // Split the rest into source and two markers at the first two zero bytes.
  size_t first = input.find('\0');
  size_t second = first == std::string::npos ? first : input.find('\0', first + 1);
  if (second != std::string::npos) {
    std::string source = input.substr(0, first);
    std::string left = input.substr(first + 1, second - first - 1);
    std::string right = input.substr(second + 1);
    std::string between = net::TextBetween(source, left, right);
    if (!between.empty() && source.find(left + between + right) == std::string::npos)
      std::abort();
  }

  std::string encoded = net::EncodeQueryText(input);
  for (char c : encoded)
    if (c == '\r' || c == '\n' || c == '\t') std::abort();
  return 0;
}
