#include "ui/framework/Fonts.h"

#include <cstdlib>
#include <fstream>

#include "platform/text/CodePage.h"
#include "ui/framework/Framework.h"
#include "ui/framework/WideText.h"

namespace ui {

namespace {

// Reads "gtk-font-name = Family Style Size" from a GTK settings file.
std::optional<std::string> fontNameFromSettings(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = line.substr(0, eq);
    key.erase(key.find_last_not_of(" \t") + 1);
    key.erase(0, key.find_first_not_of(" \t"));
    if (key != "gtk-font-name") continue;
    std::string value = line.substr(eq + 1);
    value.erase(0, value.find_first_not_of(" \t\""));
    value.erase(value.find_last_not_of(" \t\r\"") + 1);
    std::string family = platform::gfx::familyOfFontName(value);
    if (family.empty()) return std::nullopt;
    return family;
  }
  return std::nullopt;
}

}  // namespace

const std::string& songTypefaceName() {
  static const std::string name = platform::text::utf8ToAnsi("宋体");
  return name;
}

std::optional<std::string> desktopFontFace() {
  std::vector<std::string> files;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    files.push_back(std::string(config) + "/gtk-3.0/settings.ini");
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    files.push_back(std::string(home) + "/.config/gtk-3.0/settings.ini");
  }
  files.push_back("/etc/gtk-3.0/settings.ini");
  for (const std::string& file : files) {
    if (auto family = fontNameFromSettings(file)) return platform::text::utf8ToAnsi(*family);
  }
  const std::string sans = platform::gfx::resolveFamily("sans-serif");
  if (sans.empty()) return std::nullopt;
  return platform::text::utf8ToAnsi(sans);
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
