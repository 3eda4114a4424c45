#pragma once
// The one byte range of a Range header the media route serves.

#include <cstddef>
#include <string_view>

namespace songservice {

struct ByteRange {
  enum class Kind {
    Whole,        // no header, or one we may ignore (several ranges): answer 200
    Part,         // answer 206 with [first, first + length)
    Unsatisfiable // malformed or outside the file: answer 416
  };
  Kind kind = Kind::Whole;
  std::size_t first = 0;
  std::size_t length = 0;
};

// header is the Range header's value ("" when absent), size the file's size (> 0).
ByteRange parseByteRange(std::string_view header, std::size_t size);

}  // namespace songservice
