#pragma once

#include <string>
#include <string_view>

namespace net {

// The text between the first occurrence of left and the next occurrence of right after
// it (both case-sensitive); empty when either is missing, so a missing value and an empty
// one look the same.
std::string TextBetween(std::string_view source, std::string_view left, std::string_view right);

}  // namespace net
