#include "tools/song-service/library/LibraryText.h"

#include "platform/text/CodePage.h"

namespace songservice {

std::string answerForm(std::string_view utf8) {
  static constexpr std::string_view kQuote = "\xEF\xBC\x82", kBackslash = "\xEF\xBC\xBC";  // U+FF02, U+FF3C
  std::string safe;
  safe.reserve(utf8.size());
  for (char c : validUtf8(utf8)) {
    if (c == '"') safe.append(kQuote.begin(), kQuote.end());
    else if (c == '\\') safe.append(kBackslash.begin(), kBackslash.end());
    else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) safe.push_back(' ');
    else safe.push_back(c);
  }
  std::string gbk = platform::text::utf8ToAnsi(safe);
  // On the GBK bytes: a '}' may be the second byte of a character before ",{".
  for (std::size_t at = gbk.find("},{"); at != std::string::npos; at = gbk.find("},{", at + 3))
    gbk.insert(gbk.begin() + static_cast<std::ptrdiff_t>(at) + 2, ' ');
  return gbk;
}

std::string asciiLowered(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace songservice
