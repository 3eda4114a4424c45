#pragma once
// A font by family, em size in pixels and style. Glyphs missing from the family (Chinese in
// a Latin face, say) come from the system's fallback fonts.
// UI thread only, like the surfaces it draws on; familyExists may be asked from any thread.

#include <memory>
#include <string>

namespace platform::gfx {

enum FontStyle : int {
  kFontStyleRegular = 0,
  kFontStyleBold = 1,
  kFontStyleItalic = 2,
  kFontStyleUnderline = 4,
  kFontStyleStrikeout = 8,
};

namespace detail {
// The drawing back end's description of the font.
struct NativeFont;
}  // namespace detail

class Font {
 public:
  // nullptr when no installed font has this family name (compared without case, local
  // names included) and it is not one of the generic names "sans-serif", "serif",
  // "monospace", or when the size is not positive.
  static std::unique_ptr<Font> create(const std::string& familyUtf8, float sizePx, int style = 0);
  // Whether create would find the family.
  static bool familyExists(const std::string& familyUtf8);

  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  std::unique_ptr<Font> clone() const;

  const std::string& family() const { return family_; }
  float sizePx() const { return sizePx_; }
  int style() const { return style_; }
  bool underline() const { return (style_ & kFontStyleUnderline) != 0; }
  bool strikeout() const { return (style_ & kFontStyleStrikeout) != 0; }
  // Line spacing in pixels: the height of one laid-out line.
  float height() const;

  detail::NativeFont* native() const { return native_; }

 private:
  Font(std::string family, float sizePx, int style);
  std::string family_;
  float sizePx_;
  int style_;
  detail::NativeFont* native_;
  mutable float height_ = 0;  // measured on first use
};

// The family the system picks for a pattern such as "sans-serif"; empty when none.
std::string resolveFamily(const std::string& patternUtf8);
// The family of a font name such as "Noto Sans Bold 10"; empty when it names none.
std::string familyOfFontName(const std::string& nameUtf8);
// The family the desktop shows its interface text in (GTK's font setting, else fontconfig's
// "sans-serif"; the caption font on Windows); empty when it names none.
std::string desktopFamily();
// The family the system shows Chinese interface text in; empty when no installed family
// has Chinese glyphs.
std::string chineseFamily();

}  // namespace platform::gfx
