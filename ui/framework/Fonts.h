#pragma once
// Font lookup by face name with the framework's fallbacks. Face names are program texts
// (ANSI code page).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/Font.h"

namespace ui {

using platform::gfx::Font;

// A font of the face; a face that is not installed falls back to the default font's
// family. nullptr when neither exists.
std::unique_ptr<Font> createFontByName(const std::string& faceName, float sizePx, int style);
// The family name of a font (at most 31 UTF-16 units), empty for none.
std::string fontFamilyName(const Font* font);

// A face from the desktop settings: which = 1 menu, 2 caption, 3 message font. The
// desktop has one interface font, so all three read the same setting.
std::string systemFontFace(int which = 2);
// The rules applied to the face the desktop reports (empty when it reports none):
// "宋体" stands in for a missing face, for "Tahoma" and for a face no font can be made of.
std::string systemFontFaceFrom(const std::optional<std::string>& desktopFace);
// The interface font family of the desktop in the ANSI code page.
std::optional<std::string> desktopFontFace();

// The first face of the list that exists, as a 12 px regular font; nullptr if none does.
std::unique_ptr<Font> chooseDefaultFont(const std::vector<std::string>& faces);

// "宋体" as a program text.
const std::string& songTypefaceName();

}  // namespace ui
