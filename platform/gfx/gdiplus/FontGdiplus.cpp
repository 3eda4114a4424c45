#include "platform/gfx/Font.h"

#include <cctype>
#include <cwchar>
#include <map>
#include <mutex>

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Graphics.h"
#include "platform/gfx/StringFormat.h"
#include "platform/gfx/gdiplus/GdiplusHandles.h"

namespace platform::gfx {

namespace {

std::wstring wide(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(std::max(n, 0)), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string utf8Of(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.pop_back();
  return out;
}

bool sameText(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return i == a.size() && b[i] == '\0';
}

struct FaceSearch {
  HDC dc = nullptr;
  std::wstring found;
};

// Whether the face has glyphs for Latin and Chinese letters alike (a fallback-only face may
// lack the Latin ones).
bool drawsLatinAndChinese(HDC dc, const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfHeight = -16;
  wanted.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectW(&wanted);
  if (font == nullptr) return false;
  HGDIOBJ previous = SelectObject(dc, font);
  WORD glyphs[3] = {};
  const bool all = GetGlyphIndicesW(dc, L"M\u6B4C\u66F2", 3, glyphs, GGI_MARK_NONEXISTING_GLYPHS) == 3 &&
                   glyphs[0] != 0xFFFF && glyphs[1] != 0xFFFF && glyphs[2] != 0xFFFF;
  SelectObject(dc, previous);
  DeleteObject(font);
  return all;
}

int CALLBACK firstFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM search) {
  auto* s = reinterpret_cast<FaceSearch*>(search);
  // '@' marks the vertical-writing twin of a face.
  if (font->lfFaceName[0] == L'@' || !drawsLatinAndChinese(s->dc, font->lfFaceName)) return 1;
  s->found = font->lfFaceName;
  return 0;
}

// The generic names go to GDI+'s own generic families.
Gdiplus::GpFontFamily* openFamily(const std::string& name) {
  if (!gdiplusReady() || name.empty()) return nullptr;
  Gdiplus::GpFontFamily* family = nullptr;
  if (sameText(name, "sans-serif") || sameText(name, "sans")) {
    // A system without the generic face (Wine without its own fonts) still has a sans face.
    if (gp::GdipGetGenericFontFamilySansSerif(&family) != Gdiplus::Ok) family = openFamily(chineseFamily());
  } else if (sameText(name, "serif")) {
    gp::GdipGetGenericFontFamilySerif(&family);
  } else if (sameText(name, "monospace")) {
    gp::GdipGetGenericFontFamilyMonospace(&family);
  } else {
    const std::wstring w = wide(name);
    if (gp::GdipCreateFontFamilyFromName(w.c_str(), nullptr, &family) != Gdiplus::Ok) family = nullptr;
  }
  return family;
}

}  // namespace

detail::NativeFont::~NativeFont() {
  if (font != nullptr) gp::GdipDeleteFont(font);
  if (family != nullptr) gp::GdipDeleteFontFamily(family);
}

Gdiplus::GpFont* gpFontOf(const Font& font) { return font.native() != nullptr ? font.native()->font : nullptr; }

bool Font::familyExists(const std::string& family) {
  static std::mutex mutex;
  static std::map<std::string, bool> known;
  std::lock_guard lock(mutex);
  auto it = known.find(family);
  if (it == known.end()) {
    Gdiplus::GpFontFamily* opened = openFamily(family);
    if (opened != nullptr) gp::GdipDeleteFontFamily(opened);
    it = known.emplace(family, opened != nullptr).first;
  }
  return it->second;
}

std::string resolveFamily(const std::string& pattern) {
  Gdiplus::GpFontFamily* family = openFamily(pattern);
  if (family == nullptr) return {};
  WCHAR name[LF_FACESIZE] = {};
  gp::GdipGetFamilyName(family, name, LANG_NEUTRAL);
  gp::GdipDeleteFontFamily(family);
  return utf8Of(name);
}

std::string desktopFamily() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return {};
  return utf8Of(metrics.lfCaptionFont.lfFaceName);
}

std::string chineseFamily() {
  static const std::string family = [] {
    // Windows' own Chinese interface faces first, then any face for the Chinese character set.
    for (const char* known : {"Microsoft YaHei UI", "Microsoft YaHei", "SimSun", "NSimSun", "SimHei", "DengXian"}) {
      if (Gdiplus::GpFontFamily* opened = openFamily(known)) {
        gp::GdipDeleteFontFamily(opened);
        return std::string(known);
      }
    }
    FaceSearch search;
    search.dc = CreateCompatibleDC(nullptr);
    if (search.dc == nullptr) return std::string();
    LOGFONTW wanted{};
    wanted.lfCharSet = GB2312_CHARSET;
    EnumFontFamiliesExW(search.dc, &wanted, firstFace, reinterpret_cast<LPARAM>(&search), 0);
    DeleteDC(search.dc);
    return utf8Of(search.found.c_str());
  }();
  return family;
}

std::string familyOfFontName(const std::string& name) {
  // "Family [Style words] [Size]": the size and the style words trail the family.
  std::string rest = name;
  auto trim = [&rest] {
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == ',')) rest.pop_back();
  };
  trim();
  for (;;) {
    const auto space = rest.find_last_of(' ');
    if (space == std::string::npos) break;
    const std::string word = rest.substr(space + 1);
    bool style = std::isdigit(static_cast<unsigned char>(word[0])) != 0;
    for (const char* known : {"Bold", "Italic", "Oblique", "Light", "Medium", "Semi-Bold", "Regular",
                              "Condensed", "Thin", "Heavy", "Book", "Ultra-Bold", "Semi-Light", "Black"}) {
      style = style || sameText(word, known);
    }
    if (!style) break;
    rest.erase(space);
    trim();
  }
  return std::isdigit(static_cast<unsigned char>(rest.empty() ? 'x' : rest[0])) != 0 && rest.find(' ') == std::string::npos
             ? std::string()
             : rest;
}

std::unique_ptr<Font> Font::create(const std::string& family, float sizePx, int style) {
  if (!(sizePx > 0) || sizePx > 10000 || !familyExists(family)) return nullptr;
  auto font = std::unique_ptr<Font>(new Font(family, sizePx, style));
  if (font->native_ == nullptr || font->native_->font == nullptr) return nullptr;
  return font;
}

Font::Font(std::string family, float sizePx, int style)
    : family_(std::move(family)), sizePx_(sizePx), style_(style), native_(new detail::NativeFont) {
  native_->family = openFamily(family_);
  // In world units, so that the page transform scales text like everything else.
  if (native_->family != nullptr) gp::GdipCreateFont(native_->family, sizePx_, style_, Gdiplus::UnitWorld, &native_->font);
}

Font::~Font() { delete native_; }

std::unique_ptr<Font> Font::clone() const { return std::unique_ptr<Font>(new Font(family_, sizePx_, style_)); }

float Font::height() const {
  // Measured like any text so that a line height and a measured line always agree.
  if (height_ <= 0) {
    height_ = Graphics::measureDetached(u"Ag", this, RectF{}, StringFormat::genericTypographic()).height;
  }
  return height_;
}

}  // namespace platform::gfx
