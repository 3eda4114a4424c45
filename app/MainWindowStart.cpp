#include "app/MainWindowStart.h"

#include <filesystem>
#include <string>
#include <vector>

#include "app/MainWindowTabs.h"
#include "platform/system/Files.h"

namespace app {

int LoadButtonImages(MainWindowParts& parts, audio::AudioEngine& engine, const std::string& packagePath,
                     double scale) {
  std::vector<platform::system::ByteBlock> entries;
  std::string message;  // not looked at: a bad package simply gives no pictures
  engine.UnpackResourcePackage(packagePath, entries, message);
  const std::size_t count = parts.buttonImages.size();
  // Fractional scales take the 2x set too: drawn smaller it stays sharper than 1x drawn larger.
  const bool twice = scale > 1 && entries.size() >= 2 * count;
  int loaded = 0;
  for (std::size_t i = 0; i < count; ++i) {
    resources::ExImage& image = parts.buttonImages[i];
    const std::size_t entry = twice ? count + i : i;
    if (entry < entries.size() && image.LoadFromBytes(entries[entry]) != nullptr) {
      if (twice) image.GetHandle()->setScale(2);
      ++loaded;
    }
  }
  return loaded;
}

platform::system::ByteBlock ReadSkinPicture(const std::string& path) {
  return platform::system::readWholeFile(path).value_or(platform::system::ByteBlock{});
}

std::string TwiceScalePath(const std::string& path) {
  const std::size_t name = path.find_last_of("/\\");
  const std::size_t dot = path.rfind('.');
  const bool hasExtension = dot != std::string::npos && (name == std::string::npos || dot > name + 1);
  return hasExtension ? path.substr(0, dot) + "@2x" + path.substr(dot) : path + "@2x";
}

ScaledPicture ReadPictureForScale(const std::string& path, double scale) {
  if (scale > 1) {
    ScaledPicture twice{ReadSkinPicture(TwiceScalePath(path)), 2};
    if (!twice.bytes.empty()) return twice;
  }
  return {ReadSkinPicture(path), 1};
}

void ReloadForScale(MainWindowParts& parts, audio::AudioEngine& engine, const std::string& packagePath,
                    const std::string& skinPath, double scale) {
  // One push to the screen for the lot rather than one a button.
  parts.host.holdScreenUpdates();
  LoadButtonImages(parts, engine, packagePath, scale);
  ShowLooksAgain(parts);
  const ScaledPicture skin = ReadPictureForScale(skinPath, scale);
  resources::ExImage picture;
  if (!skin.bytes.empty() && picture.LoadFromBytes(skin.bytes) != nullptr) {
    if (skin.scale != 1) picture.GetHandle()->setScale(skin.scale);
    parts.host.setBackgroundBitmap(picture);
  }
  parts.host.releaseScreenUpdates();
  parts.host.redraw();
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

bool AttachMainWindow(MainWindowParts& parts, platform::window::HWND hwnd, const ScaledPicture& skin) {
  ui::AttachOptions options = MainWindowAttachOptions(
      ui::kCaptionIcon | ui::kCaptionTitle | ui::kCaptionClose | ui::kCaptionMinimize | ui::kCaptionSkin);
  options.pictureScale = skin.scale;
  if (!parts.host.attach(hwnd, skin.bytes, options)) return false;
  parts.host.layeredStyle(1);
  parts.host.setCloseEffect(ui::kCloseWipeTopToBottom);
  return true;
}

bool EnsureFolder(const std::string& path) {
  namespace fs = std::filesystem;
  // Paths are UTF-8 on both systems; taken as the narrow code page, Windows would miss them.
  const fs::path folder(std::u8string(path.begin(), path.end()));
  std::error_code error;
  if (fs::create_directory(folder, error)) return true;
  return !error && fs::is_directory(folder, error);
}

}  // namespace app
