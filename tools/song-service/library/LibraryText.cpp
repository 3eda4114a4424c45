#include "tools/song-service/library/LibraryText.h"

#include <glib.h>
#include <iconv.h>

#include <memory>

#include "platform/text/CodePage.h"

namespace songservice {

std::string validUtf8(std::string_view text) {
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return std::string(text);
  std::unique_ptr<gchar, void (*)(gpointer)> made(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())),
                                                  g_free);
  return made ? std::string(made.get()) : std::string();
}

std::string nameText(std::string_view bytes) {
  if (g_utf8_validate(bytes.data(), static_cast<gssize>(bytes.size()), nullptr)) return std::string(bytes);
  iconv_t converter = iconv_open("UTF-8", "GBK");
  if (converter != reinterpret_cast<iconv_t>(-1)) {
    std::string out(bytes.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size(), outLeft = out.size();
    char* outPointer = out.data();
    std::size_t result = iconv(converter, &in, &inLeft, &outPointer, &outLeft);
    iconv_close(converter);
    if (result != static_cast<std::size_t>(-1) && inLeft == 0) {
      out.resize(out.size() - outLeft);
      return out;
    }
  }
  return validUtf8(bytes);
}

std::string folded(std::string_view text) {
  std::string valid = validUtf8(text);
  std::unique_ptr<gchar, void (*)(gpointer)> out(g_utf8_casefold(valid.data(), static_cast<gssize>(valid.size())),
                                                 g_free);
  return out ? std::string(out.get()) : std::string();
}

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
