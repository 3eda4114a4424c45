#pragma once
// Turning program texts (GBK bytes) into query values for the song and picture services,
// which expect percent-encoded UTF-8.

#include <string>
#include <string_view>

#include "platform/system/ByteBlock.h"

namespace net {

using platform::system::ByteBlock;

// UTF-16LE units of the text followed by one zero unit.
ByteBlock AnsiToUtf16(std::string_view text);

// UTF-8 bytes of the text followed by one zero byte.
ByteBlock AnsiToUtf8(std::string_view text);

// ASCII passes through except a fixed set of punctuation, CR, LF and TAB, which become
// %XX; each two-byte character becomes its UTF-8 bytes as %XX. The blank stays a blank.
std::string EncodeQueryText(std::string_view text);

}  // namespace net
