#pragma once
// The change-appearance window: four styles of six pictures each from "\Resource\Skin.rdb"
// and a picture file of the user's own. A chosen picture becomes the main window's
// background at once and is kept as "\Resource\skin.png" for the next start. Non-modal,
// owned by the main window; one object per opening, since its controls belong to the one
// window they were made for. UI thread only.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/BackgroundWriter.h"
#include "app/ProgramTexts.h"
#include "audio/AudioEngine.h"
#include "platform/system/ByteBlock.h"
#include "platform/system/ProgramFiles.h"
#include "platform/window/WindowTypes.h"
#include "ui/controls/ExLabel.h"
#include "ui/controls/ExPicture.h"
#include "ui/framework/ExWindow.h"

namespace app {

inline constexpr int kSkinDialogWidth = 466;
inline constexpr int kSkinDialogHeight = 314;
inline constexpr int kSkinStyleCount = 4;
inline constexpr int kSkinPicturesPerStyle = 6;
inline constexpr int kSkinPictureCount = kSkinStyleCount * kSkinPicturesPerStyle;
// No background needs more; reading a larger file would stall the window.
inline constexpr std::uintmax_t kMaxCustomSkinBytes = 32u * 1024 * 1024;

// The entry of skinImages shown at row (0 top, 1 bottom) and column (1 to 3) of a style.
constexpr int SkinEntry(int style, int row, int column) {
  return kSkinPicturesPerStyle * (style - 1) + 3 * row + column - 1;
}

class SkinDialog {
 public:
  // mainHost is the host whose background a choice replaces; files tell where
  // Resource/Skin.rdb is read and Resource/skin.png is read and kept; engine carries the
  // package reader; skinWriter stores the chosen pictures and must outlive the dialog.
  SkinDialog(ui::ExWindow& mainHost, platform::system::ProgramFiles files, audio::AudioEngine& engine,
             BackgroundWriter& skinWriter);
  ~SkinDialog();
  SkinDialog(const SkinDialog&) = delete;
  SkinDialog& operator=(const SkinDialog&) = delete;

  // Creates and shows the window over owner; when it is already open, brings it forward
  // instead. The window, nullptr when it cannot be made.
  platform::window::HWND Open(platform::window::HWND owner);
  bool IsOpen() const;
  platform::window::HWND handle() const { return hwnd_; }

  // The window's created event: sets it up.
  void OnSkinDialogCreated(platform::window::HWND hwnd);
  // The host's callbacks for a left press on a control, the pointer entering one and
  // leaving one. kind 3 are the style and custom buttons, kind 4 the previews.
  void OnSkinPress(int controlId, int kind);
  void OnSkinEnter(int controlId, int kind);
  void OnSkinLeave(int controlId, int kind);

  // Shows bytes as the main window's background (fading in) and stores them as
  // Resource/skin.png on the skin writer's thread (its flush() waits for them). Bytes that
  // are not a picture change nothing: false. A file that cannot be written leaves the
  // background changed for this run. twice is the same picture drawn at 2x, shown on a
  // window above scale 1 and stored as skin@2x.png; without it a skin@2x.png of an
  // earlier picture goes.
  bool ApplySkin(const platform::system::ByteBlock& bytes, const platform::system::ByteBlock& twice = {});
  // Applies the picture file at path (a native path); false when it is missing, too large
  // or not a picture.
  bool ApplySkinFile(const std::string& path);

  // What the window shows and remembers.
  int currentStyle() const { return currentStyle_; }
  int lastClickedControl() const { return lastClickedControl_; }
  const std::vector<platform::system::ByteBlock>& skinImages() const { return skinImages_; }
  ui::controls::ExLabel& backdrop() { return backdrop_; }
  ui::controls::ExLabel& styleButton(int style) { return styleButtons_[static_cast<std::size_t>(style - 1)]; }
  ui::controls::ExLabel& customButton() { return customButton_; }
  ui::controls::ExPicture& preview(int row, int column) {
    return previews_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column - 1)];
  }
  ui::ExWindow& host() { return host_; }

 private:
  void createControls();
  void chooseStyle(int style);
  void chooseCustomFile();

  ui::ExWindow& mainHost_;
  platform::system::ProgramFiles files_;
  audio::AudioEngine& engine_;
  BackgroundWriter& skinWriter_;
  platform::window::HWND hwnd_ = nullptr;
  ui::ExWindow host_;

  std::vector<platform::system::ByteBlock> skinImages_;
  // Entry's picture for a window at scale: its 2x sibling (entries 24-47) past 1x when
  // the package has one.
  resources::ExImage skinPicture(int entry, double scale) const;
  const platform::system::ByteBlock& twiceOf(int entry) const;
  int currentStyle_ = 1;
  int lastClickedControl_ = 1;

  ui::controls::ExLabel backdrop_;
  std::array<ui::controls::ExLabel, kSkinStyleCount> styleButtons_;
  ui::controls::ExLabel customButton_;
  std::array<std::array<ui::controls::ExPicture, 3>, 2> previews_;  // [row][column - 1]
};

// Opens the change-appearance window for mainHost's window, or brings the open one
// forward. slot keeps the dialog of the last opening; a closed one is replaced.
// skinWriter must outlive slot's dialog.
platform::window::HWND OpenSkinDialog(std::unique_ptr<SkinDialog>& slot, ui::ExWindow& mainHost,
                                      const platform::system::ProgramFiles& files, audio::AudioEngine& engine,
                                      BackgroundWriter& skinWriter);
// The same with every file in one folder.
platform::window::HWND OpenSkinDialog(std::unique_ptr<SkinDialog>& slot, ui::ExWindow& mainHost,
                                      const std::string& folder, audio::AudioEngine& engine,
                                      BackgroundWriter& skinWriter);

}  // namespace app
