#include "ui/framework/Fonts.h"

#include "platform/text/CodePage.h"
#include "ui/framework/Framework.h"
#include "ui/framework/WideText.h"

namespace ui {

const std::string& songTypefaceName() {
  static const std::string name = platform::text::utf8ToAnsi("宋体");
  return name;
}

std::optional<std::string> desktopFontFace() {
  const std::string family = platform::gfx::desktopFamily();
  if (family.empty()) return std::nullopt;
  return platform::text::utf8ToAnsi(family);
}

std::string systemFontFaceFrom(const std::optional<std::string>& desktopFace) {
  const std::string& fallback = songTypefaceName();
  if (!desktopFace || desktopFace->empty()) return fallback;
  std::string face = desktopFace->substr(0, std::min<std::size_t>(31, desktopFace->find('\0')));
  if (face == "Tahoma") return fallback;
  if (!createFontByName(face, 12, platform::gfx::kFontStyleRegular)) return fallback;
  return face;
}

std::string systemFontFace(int /*which*/) { return systemFontFaceFrom(desktopFontFace()); }

std::unique_ptr<Font> createFontByName(const std::string& faceName, float sizePx, int style) {
  std::string family = platform::text::ansiToUtf8(faceName);
  if (!Font::familyExists(family)) {
    const Font* fallback = framework().defaultFont.get();
    if (!fallback) return nullptr;
    family = fallback->family();
  }
  return Font::create(family, sizePx, style);
}

std::string fontFamilyName(const Font* font) {
  if (!font) return {};
  std::u16string wide = platform::text::utf8ToWide(font->family());
  if (wide.size() > 31) wide.resize(31);
  return fromWide(wide);
}

std::unique_ptr<Font> chooseDefaultFont(const std::vector<std::string>& faces) {
  for (const std::string& face : faces) {
    const std::string family = platform::text::ansiToUtf8(face);
    if (Font::familyExists(family)) return Font::create(family, 12, platform::gfx::kFontStyleRegular);
  }
  return nullptr;
}

}  // namespace ui
