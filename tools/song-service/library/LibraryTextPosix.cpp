#include <glib.h>
#include <iconv.h>

#include <memory>

#include "tools/song-service/library/LibraryText.h"

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

}  // namespace songservice
