// What the change-appearance window does with presses and the pointer, and how a chosen
// picture reaches the main window and the disk.

#include <sys/stat.h>

#include <cstdio>
#include <string_view>

#include "app/MainWindowStart.h"
#include "app/SkinDialog.h"
#include "platform/system/Files.h"
#include "platform/system/WorkingSet.h"
#include "platform/window/DesktopServices.h"
#include "platform/window/WindowApi.h"
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
          const int entry = SkinEntry(currentStyle_, row, column);
          ApplySkin(skinImages_[static_cast<std::size_t>(entry)], twiceOf(entry));
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
      preview(row, column).setImage(skinPicture(SkinEntry(style, row, column), pw::GetWindowScale(hwnd_)), true);
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

bool SkinDialog::ApplySkin(const platform::system::ByteBlock& bytes, const platform::system::ByteBlock& twice) {
  // Bytes that cannot be shown would leave a blank window now and at every later start.
  resources::ExImage picture;
  if (bytes.empty() || picture.LoadFromBytes(bytes) == nullptr) return false;
  resources::ExImage sharper;
  if (pw::GetWindowScale(mainHost_.handle()) > 1 && !twice.empty() && sharper.LoadFromBytes(twice) != nullptr) {
    sharper.GetHandle()->setScale(2);
    picture = std::move(sharper);
  }
  // Decoded once: a large picture of one's own takes long enough as it is.
  mainHost_.redraw(std::move(picture), true);
  // A picture may be megabytes: the window never waits for the disk.
  const std::string target = files_.userPath("\\Resource\\skin.png");
  skinWriter_.submit([target, bytes, twice] {
    const auto asText = [](const platform::system::ByteBlock& b) {
      return std::string_view(reinterpret_cast<const char*>(b.data()), b.size());
    };
    const std::string twiceTarget = TwiceScalePath(target);
    // A 2x file of the picture before would come back in its place on a 2x desktop.
    if (twice.empty()) {
      std::remove(twiceTarget.c_str());
    } else if (!platform::system::writeFileAtomically(twiceTarget, asText(twice))) {
      std::remove(twiceTarget.c_str());
    }
    return platform::system::writeFileAtomically(target, asText(bytes));
  });
  return true;
}

}  // namespace app
