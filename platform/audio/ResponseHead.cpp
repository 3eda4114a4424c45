#include "platform/audio/ResponseHead.h"

#include <strings.h>

#include <cstring>

namespace platform::audio {
namespace {

std::optional<std::uint64_t> parseNumber(const std::string& text, std::size_t from = 0) {
  std::size_t i = from;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i == text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
  std::uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value > (UINT64_MAX - 9) / 10) return UINT64_MAX;  // only ever compared as too large
    value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
  }
  return value;
}

bool headerIs(const std::string& line, const char* name, std::string& value) {
  std::size_t length = std::strlen(name);
  if (line.size() <= length || strncasecmp(line.c_str(), name, length) != 0 || line[length] != ':') {
    return false;
  }
  std::size_t start = line.find_first_not_of(" \t", length + 1);
  value = start == std::string::npos ? std::string() : line.substr(start);
  while (!value.empty() && (value.back() == '\r' || value.back() == '\n' || value.back() == ' ')) {
    value.pop_back();
  }
  return true;
}

}  // namespace

bool ResponseHead::take(const std::string& line) {
  if (line.rfind("HTTP/", 0) == 0) {
    *this = ResponseHead();
    std::size_t space = line.find(' ');
    status_ = space == std::string::npos ? 0 : static_cast<long>(parseNumber(line, space).value_or(0));
    return false;
  }
  std::string value;
  if (headerIs(line, "Location", value)) {
    sawLocation_ = true;
  } else if (headerIs(line, "Accept-Ranges", value)) {
    acceptRanges_ = value.find("bytes") != std::string::npos;
  } else if (headerIs(line, "Content-Length", value)) {
    contentLength_ = parseNumber(value);
    if (contentLength_ && *contentLength_ > kLargestTrustedSize) untrustedSize_ = true;
  } else if (headerIs(line, "Content-Range", value)) {
    std::size_t unit = value.find(' ');
    if (unit != std::string::npos) rangeFirst_ = parseNumber(value, unit + 1);
    std::size_t slash = value.find('/');
    if (slash != std::string::npos) rangeTotal_ = parseNumber(value, slash + 1);
    if (rangeTotal_ && *rangeTotal_ > kLargestTrustedSize) untrustedSize_ = true;
  } else if (headerIs(line, "ETag", value)) {
    etag_ = value;
  } else if (headerIs(line, "Last-Modified", value)) {
    lastModified_ = value;
  }
  return line == "\r\n" || line == "\n";
}

}  // namespace platform::audio
