#include "net/QueryEncoding.h"

#include <algorithm>

#include "platform/text/CodePage.h"

namespace net {
namespace {

namespace text = platform::text;

constexpr std::string_view kSpecialCharacters =
    "`~!@#$%^&*()-_=+[{]};:'\\|,<.>/?\"\r\n\t";

void appendPercent(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

}  // namespace

ByteBlock AnsiToUtf16(std::string_view ansi) {
  int units = ansi.empty() ? 0
                           : text::MultiByteToWideChar(text::kCodePageAnsi, 0, ansi.data(),
                                                       static_cast<int>(ansi.size()), nullptr, 0);
  std::u16string wide(static_cast<size_t>(units) + 1, u'\0');
  if (units > 0)
    text::MultiByteToWideChar(text::kCodePageAnsi, 0, ansi.data(), static_cast<int>(ansi.size()),
                              wide.data(), units);
  ByteBlock bytes(wide.size() * 2, 0);
  for (size_t i = 0; i < wide.size(); ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(wide[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(wide[i] >> 8);
  }
  return bytes;
}

ByteBlock AnsiToUtf8(std::string_view ansi) {
  ByteBlock utf16 = AnsiToUtf16(ansi);
  std::u16string wide(utf16.size() / 2, u'\0');
  for (size_t i = 0; i < wide.size(); ++i)
    wide[i] = static_cast<char16_t>(utf16[2 * i] | (utf16[2 * i + 1] << 8));
  int size = text::WideCharToMultiByte(text::kCodePageUtf8, 0, wide.data(),
                                       static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  if (size > 0)
    text::WideCharToMultiByte(text::kCodePageUtf8, 0, wide.data(), static_cast<int>(wide.size()),
                              utf8.data(), size, nullptr, nullptr);
  // Up to and including the first zero: the terminator that was converted along.
  auto zero = std::find(utf8.begin(), utf8.end(), '\0');
  ByteBlock bytes(utf8.begin(), zero);
  bytes.push_back(0);
  return bytes;
}

std::string EncodeQueryText(std::string_view input) {
  std::string out;
  for (size_t i = 0; i < input.size();) {
    auto byte = static_cast<unsigned char>(input[i]);
    if (byte < 0x80) {
      // A zero byte would have ended the text.
      if (byte == 0) break;
      if (kSpecialCharacters.find(static_cast<char>(byte)) != std::string_view::npos)
        appendPercent(out, byte);
      else
        out += static_cast<char>(byte);
      i += 1;
      continue;
    }
    // A lone lead byte at the end (or before the terminator) is converted on its own.
    size_t take = i + 1 < input.size() && input[i + 1] != 0 ? 2 : 1;
    ByteBlock utf8 = AnsiToUtf8(input.substr(i, take));
    for (std::uint8_t b : utf8)
      if (b != 0) appendPercent(out, b);
    i += take;
  }
  return out;
}

}  // namespace net
