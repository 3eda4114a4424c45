#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/system/ByteBlock.h"

namespace resources {

// Package bytes holding entries in order, with a separator that occurs nowhere but
// between the parts. The separator is derived from the content, so the same entries
// always give the same file. Empty only if no separator could be found.
std::optional<std::string> PackResourceEntries(const std::vector<platform::system::ByteBlock>& entries);

// The separator to try at each attempt (0, 1, ...); one that is not kSeparatorSize bytes
// long is passed over.
using SeparatorCandidates = std::function<std::string(int attempt)>;

// The same with the caller's candidates instead of the content-derived ones.
std::optional<std::string> PackResourceEntries(const std::vector<platform::system::ByteBlock>& entries,
                                               const SeparatorCandidates& candidates);

}  // namespace resources
