#include "net/UrlParts.h"

#include <cctype>
#include <string_view>

#include "platform/text/Numbers.h"

namespace net {
namespace {

constexpr std::string_view kPrefix = "http://";

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool startsWithHttp(std::string_view url) {
  if (url.size() < kPrefix.size()) return false;
  for (size_t i = 0; i < kPrefix.size(); ++i)
    if (lower(url[i]) != kPrefix[i]) return false;
  return true;
}

size_t authorityStart(std::string_view url) { return startsWithHttp(url) ? kPrefix.size() : 0; }

std::string_view authorityOf(std::string_view url) {
  size_t start = authorityStart(url);
  size_t slash = url.find('/', start);
  return url.substr(start, slash == url.npos ? url.npos : slash - start);
}

size_t findIgnoringCase(std::string_view haystack, std::string_view needle, size_t from) {
  if (needle.empty()) return from;
  for (size_t i = from; i + needle.size() <= haystack.size(); ++i) {
    size_t j = 0;
    while (j < needle.size() && lower(haystack[i + j]) == lower(needle[j])) ++j;
    if (j == needle.size()) return i;
  }
  return haystack.npos;
}

}  // namespace

std::string HostOfUrl(const std::string& url) {
  std::string_view authority = authorityOf(url);
  authority = authority.substr(0, authority.find(':'));
  std::string host(authority);
  for (char& c : host) c = lower(c);
  return host;
}

int PortOfUrl(const std::string& url) {
  std::string_view authority = authorityOf(url);
  size_t colon = authority.find(':');
  if (colon == authority.npos) return 80;
  return platform::text::textToInteger(authority.substr(colon + 1));
}

std::string PathOfUrl(const std::string& url) {
  // The host is looked for after the scheme: a host such as "h" or "tp" would otherwise
  // be found inside "http://".
  size_t host = findIgnoringCase(url, HostOfUrl(url), authorityStart(url));
  if (host == std::string::npos) host = authorityStart(url);
  size_t slash = url.find('/', host);
  if (slash == std::string::npos) return "/";
  return url.substr(slash);
}

std::string EscapeUnsafeBytes(std::string_view text, std::string_view alsoEscape) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (byte == ' ' || byte >= 0x80 || alsoEscape.find(c) != std::string_view::npos) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace net
