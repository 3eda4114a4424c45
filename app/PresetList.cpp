#include "app/PresetList.h"

#include "net/TextBetween.h"
#include "platform/system/Files.h"
#include "platform/system/ProgramFiles.h"
#include "platform/system/ProgramFolder.h"
#include "ui/controls/ExImageList.h"
#include "ui/controls/ExList.h"

namespace app {

void LoadPresetList(const std::string& folder, ui::controls::ExList& list, ui::ExImageList& pictures) {
  LoadPresetList(PresetFileLines(folder), platform::system::pathInFolder(folder, "\\Resource\\rilu.jpg"), list,
                 pictures);
}

void LoadPresetList(const std::vector<std::string>& lines, const std::string& picturePath, ui::controls::ExList& list,
                    ui::ExImageList& pictures) {
  if (lines.empty()) return;
  // Every row shows the same picture, so the list keeps one copy of it. A missing file
  // still takes its place and draws nothing.
  const auto picture = platform::system::readWholeFile(picturePath);
  const int pictureIndex = pictures.addFromMemory(picture.value_or(platform::system::ByteBlock()));
  for (const std::string& line : lines) {
    const int row = list.addRow(std::nullopt, pictureIndex);
    const std::string title = net::TextBetween(line, "title\":\"", "\"");
    const std::string singer = net::TextBetween(line, "singer\":\"", "\"");
    list.cellText(row, 1, title + "\r\n" + singer);
  }
  list.redraw();
}

}  // namespace app
