#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform::audio {

// What a download needs from the header lines of one HTTP response, fed line by line as
// libcurl hands them over (the heads of redirects too: a status line starts afresh).
class ResponseHead {
 public:
  // Sizes above this are not believed: no file we play is that large.
  static constexpr std::uint64_t kLargestTrustedSize = std::uint64_t{1} << 40;

  // True when line was the blank line that ends the head.
  bool take(const std::string& line);

  long status() const { return status_; }
  bool redirect() const { return status_ >= 300 && status_ < 400 && sawLocation_; }
  bool acceptsRanges() const { return acceptRanges_; }
  bool untrustedSize() const { return untrustedSize_; }
  const std::optional<std::uint64_t>& contentLength() const { return contentLength_; }
  // "Content-Range: bytes FIRST-LAST/TOTAL", or "bytes */TOTAL" with a 416.
  const std::optional<std::uint64_t>& rangeFirst() const { return rangeFirst_; }
  const std::optional<std::uint64_t>& rangeTotal() const { return rangeTotal_; }
  const std::optional<std::string>& etag() const { return etag_; }
  const std::optional<std::string>& lastModified() const { return lastModified_; }

 private:
  long status_ = 0;
  bool sawLocation_ = false;
  bool acceptRanges_ = false;
  bool untrustedSize_ = false;
  std::optional<std::uint64_t> contentLength_;
  std::optional<std::uint64_t> rangeFirst_;
  std::optional<std::uint64_t> rangeTotal_;
  std::optional<std::string> etag_;
  std::optional<std::string> lastModified_;
};

}  // namespace platform::audio
