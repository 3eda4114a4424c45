#pragma once
// The preset list of tab 1: one row per line of the preset file, with the
// "\Resource\rilu.jpg" picture and "title CR LF singer". Playing a row reads its link
// from the file again (PresetFile.h).

#include <string>
#include <vector>

#include "app/PresetFile.h"

namespace ui {
class ExImageList;
}
namespace ui::controls {
class ExList;
}

namespace app {

// Fills the list and its picture list from the preset file in the folder and redraws it.
// UI thread.
void LoadPresetList(const std::string& folder, ui::controls::ExList& list, ui::ExImageList& pictures);
// The same from the given lines, each row with the picture file at picturePath.
void LoadPresetList(const std::vector<std::string>& lines, const std::string& picturePath, ui::controls::ExList& list,
                    ui::ExImageList& pictures);

}  // namespace app
