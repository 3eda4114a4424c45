#pragma once
// The preset list of tab 1, filled from "\plugins\js_rilu.txt" beside the program: one row
// per CR LF line, with the "\Resource\rilu.jpg" picture and "title CR LF singer".

#include <string>
#include <string_view>
#include <vector>

namespace ui {
class ExImageList;
}
namespace ui::controls {
class ExList;
}

namespace app {

// Files of this size or less are not used.
inline constexpr std::size_t kSmallestPresetFile = 200;

// The lines of a preset file's text, split at CR LF; a final CR LF gives no empty line.
// None for a text of at most kSmallestPresetFile bytes.
std::vector<std::string> PresetLines(std::string_view text);

// Fills the main window's preset list from the program's folder and redraws it. UI thread.
void LoadPresetList();
// The same from another folder into the given list and its picture list.
void LoadPresetList(const std::string& folder, ui::controls::ExList& list, ui::ExImageList& pictures);

// The url member of the row's line (rows count from 1), the file read again; empty when
// the file is missing or too small, or the row is not one of its lines. Any thread.
std::string PresetUrlOfRow(int row);
std::string PresetUrlOfRow(const std::string& folder, int row);

}  // namespace app
