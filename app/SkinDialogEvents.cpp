// What the change-appearance window does with presses and the pointer, and how a chosen
// picture reaches the main window and the disk.

#include <sys/stat.h>

#include <string_view>

#include "app/SkinDialog.h"
#include "platform/system/Files.h"
#include "platform/system/WorkingSet.h"
#include "platform/window/DesktopServices.h"
#include "resources/ExImage.h"

namespace app {
namespace {

namespace pw = platform::window;

constexpr int kLit = 1;
constexpr int kPlain = ui::controls::kNoFill;

}  // namespace

void SkinDialog::OnSkinPress(int controlId, int kind) {
  if (kind == ui::kKindLabel) {
    for (int style = 1; style <= kSkinStyleCount; ++style) {
      if (controlId == styleButton(style).id()) chooseStyle(style);
    }
    lastClickedControl_ = controlId;
    if (controlId == customButton_.id()) chooseCustomFile();
  } else if (kind == ui::kKindPicture) {
    for (int column = 1; column <= 3; ++column) {
      for (int row = 0; row <= 1; ++row) {
        if (controlId == preview(row, column).id()) {
          ApplySkin(skinImages_[static_cast<std::size_t>(SkinEntry(currentStyle_, row, column))]);
        }
      }
    }
    platform::system::trimWorkingSet();
  }
}

void SkinDialog::OnSkinEnter(int controlId, int kind) {
  if (kind != ui::kKindLabel) return;
  for (int style = 1; style <= kSkinStyleCount; ++style) {
    if (controlId == styleButton(style).id()) styleButton(style).fillMode(kLit);
  }
  if (controlId == customButton_.id()) customButton_.fillMode(kLit);
}

void SkinDialog::OnSkinLeave(int controlId, int kind) {
  if (kind != ui::kKindLabel) return;
  // The selected style stays lit.
  for (int style = 1; style <= kSkinStyleCount; ++style) {
    if (controlId == styleButton(style).id() && controlId != lastClickedControl_) styleButton(style).fillMode(kPlain);
  }
  if (controlId == customButton_.id()) customButton_.fillMode(kPlain);
}

void SkinDialog::chooseStyle(int style) {
  for (int other = 1; other <= kSkinStyleCount; ++other) {
    if (other != style) styleButton(other).fillMode(kPlain);
  }
  styleButton(style).fillMode(kLit);
  for (int column = 1; column <= 3; ++column) {
    for (int row = 0; row <= 1; ++row) {
      resources::ExImage picture;
      picture.LoadFromBytes(skinImages_[static_cast<std::size_t>(SkinEntry(style, row, column))]);
      preview(row, column).setImage(std::move(picture), true);
    }
  }
  currentStyle_ = style;
}

void SkinDialog::chooseCustomFile() {
  const std::optional<std::string> chosen =
      pw::openFileDialog(hwnd_, SkinFileDialogTitle(), SkinFileDialogFilter());
  if (chosen) ApplySkinFile(*chosen);
}

bool SkinDialog::ApplySkinFile(const std::string& file) {
  struct stat st;
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (static_cast<std::uintmax_t>(st.st_size) > kMaxCustomSkinBytes) return false;
  const platform::system::FileRead read = platform::system::readFile(file);
  if (read.status != platform::system::FileRead::Status::Read ||
      read.data.size() > kMaxCustomSkinBytes) {
    return false;
  }
  return ApplySkin(read.data);
}

bool SkinDialog::ApplySkin(const platform::system::ByteBlock& bytes) {
  // Bytes that cannot be shown would leave a blank window now and at every later start.
  resources::ExImage picture;
  if (bytes.empty() || picture.LoadFromBytes(bytes) == nullptr) return false;
  // Decoded once: a large picture of one's own takes long enough as it is.
  mainHost_.redraw(std::move(picture), true);
  // A picture may be megabytes: the window never waits for the disk.
  const std::string target = files_.userPath("\\Resource\\skin.png");
  skinWriter_.submit([target, bytes] {
    return platform::system::writeFileAtomically(
        target, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  });
  return true;
}

}  // namespace app
