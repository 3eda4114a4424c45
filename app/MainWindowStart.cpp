#include "app/MainWindowStart.h"

#include <sys/stat.h>

#include <cerrno>
#include <vector>

#include "platform/system/Files.h"

namespace app {

int LoadButtonImages(MainWindowParts& parts, audio::AudioEngine& engine, const std::string& packagePath) {
  std::vector<platform::system::ByteBlock> entries;
  std::string message;  // not looked at: a bad package simply gives no pictures
  engine.UnpackResourcePackage(packagePath, entries, message);
  int loaded = 0;
  for (std::size_t i = 0; i < parts.buttonImages.size(); ++i) {
    resources::ExImage& image = parts.buttonImages[i];
    if (i < entries.size() && image.LoadFromBytes(entries[i]) != nullptr) ++loaded;
  }
  return loaded;
}

platform::system::ByteBlock ReadSkinPicture(const std::string& path) {
  return platform::system::readWholeFile(path).value_or(platform::system::ByteBlock{});
}

ui::AttachOptions MainWindowAttachOptions(int captionButtonSet) {
  ui::AttachOptions options;
  options.captionButtonSet = captionButtonSet;
  options.windowAlpha = 254;
  options.entryValueA = 0;
  options.backgroundMode = 5;
  options.applicationValue = 1;
  options.fixedSize = 1;
  options.dragLocked = 0;
  options.flagC = 1;
  return options;
}

bool AttachMainWindow(MainWindowParts& parts, platform::window::HWND hwnd, const platform::system::ByteBlock& skin) {
  const ui::AttachOptions options = MainWindowAttachOptions(
      ui::kCaptionIcon | ui::kCaptionTitle | ui::kCaptionClose | ui::kCaptionMinimize | ui::kCaptionSkin);
  if (!parts.host.attach(hwnd, skin, options)) return false;
  parts.host.layeredStyle(1);
  parts.host.setCloseEffect(ui::kCloseWipeTopToBottom);
  return true;
}

bool EnsureFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  struct stat st;
  return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace app
