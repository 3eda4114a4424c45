#pragma once
// Writes straight-ARGB rows in a picture format, through the system's own encoder.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/TestPictures.h"

namespace testpictures {

// type: "png", "jpeg", "bmp" or "ico"; alpha says whether the file keeps the alpha channel.
// Empty when the system cannot write that type.
Bytes writePicture(const std::string& type, int width, int height, const std::vector<std::uint32_t>& argb,
                   bool alpha);

}  // namespace testpictures
