#include "platform/gfx/Font.h"

#include <map>
#include <mutex>
#include <strings.h>

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Graphics.h"
#include "platform/gfx/StringFormat.h"
#include "platform/gfx/cairo/CairoHandles.h"

namespace platform::gfx {

namespace {

bool isGenericFamily(const std::string& name) {
  for (const char* generic : {"sans-serif", "sans", "serif", "monospace"}) {
    if (strcasecmp(name.c_str(), generic) == 0) return true;
  }
  return false;
}

bool installedFamily(const std::string& name) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  const bool found = fonts && fonts->nfont > 0;
  if (fonts) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}

}  // namespace

bool Font::familyExists(const std::string& family) {
  if (family.empty()) return false;
  if (isGenericFamily(family)) return true;
  static std::mutex mutex;
  static std::map<std::string, bool> known;
  std::lock_guard lock(mutex);
  auto it = known.find(family);
  if (it == known.end()) it = known.emplace(family, installedFamily(family)).first;
  return it->second;
}

std::string resolveFamily(const std::string& patternText) {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(patternText.c_str()));
  if (!pattern) return {};
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string family;
  FcChar8* name = nullptr;
  if (match && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name) {
    family = reinterpret_cast<const char*>(name);
  }
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return family;
}

std::unique_ptr<Font> Font::create(const std::string& family, float sizePx, int style) {
  if (!(sizePx > 0) || sizePx > 10000 || !familyExists(family)) return nullptr;
  return std::unique_ptr<Font>(new Font(family, sizePx, style));
}

Font::Font(std::string family, float sizePx, int style)
    : family_(std::move(family)), sizePx_(sizePx), style_(style),
      native_(reinterpret_cast<detail::NativeFont*>(pango_font_description_new())) {
  PangoFontDescription* description = reinterpret_cast<PangoFontDescription*>(native_);
  pango_font_description_set_family(description, family_.c_str());
  pango_font_description_set_absolute_size(description, sizePx_ * PANGO_SCALE);
  pango_font_description_set_weight(description,
                                    (style_ & kFontStyleBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(description,
                                   (style_ & kFontStyleItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
}

Font::~Font() { pango_font_description_free(reinterpret_cast<PangoFontDescription*>(native_)); }

const PangoFontDescription* pangoDescriptionOf(const Font& font) {
  return reinterpret_cast<const PangoFontDescription*>(font.native());
}

std::string familyOfFontName(const std::string& name) {
  PangoFontDescription* description = pango_font_description_from_string(name.c_str());
  const char* family = pango_font_description_get_family(description);
  std::string result = family != nullptr ? family : "";
  pango_font_description_free(description);
  return result;
}

std::unique_ptr<Font> Font::clone() const {
  return std::unique_ptr<Font>(new Font(family_, sizePx_, style_));
}

float Font::height() const {
  // Measured like any text so that a line height and a measured line always agree.
  if (height_ <= 0) {
    height_ = Graphics::measureDetached(u"Ag", this, RectF{}, StringFormat::genericTypographic()).height;
  }
  return height_;
}

}  // namespace platform::gfx
