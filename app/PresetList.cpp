#include "app/PresetList.h"

#include "net/TextBetween.h"
#include "platform/system/Files.h"
#include "ui/controls/ExImageList.h"
#include "ui/controls/ExList.h"

namespace app {

void LoadPresetList(const std::string& folder, ui::controls::ExList& list, ui::ExImageList& pictures) {
  const std::vector<std::string> lines = PresetFileLines(folder);
  if (lines.empty()) return;
  // Every row shows the same picture, so the list keeps one copy of it. A missing file
  // still takes its place and draws nothing.
  const auto picture = platform::system::readWholeFile(platform::system::pathInFolder(folder, "\\Resource\\rilu.jpg"));
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
