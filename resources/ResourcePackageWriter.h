#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/system/ByteBlock.h"

namespace resources {

// Package bytes holding entries in order, with a separator that occurs nowhere but
// between the parts. The separator is derived from the content, so the same entries
// always give the same file. Empty only if no separator could be found.
std::optional<std::string> PackResourceEntries(const std::vector<platform::system::ByteBlock>& entries);

}  // namespace resources
