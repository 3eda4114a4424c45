#include "app/SkinDialog.h"

#include <algorithm>
#include <string_view>

#include "app/MainWindowStart.h"
#include "platform/system/ProgramFiles.h"
#include "platform/system/WorkingSet.h"
#include "platform/text/CodePage.h"
#include "platform/window/DesktopServices.h"
#include "platform/window/WindowApi.h"
#include "ui/framework/WindowClass.h"

namespace app {
namespace {

namespace pw = platform::window;
using platform::gfx::RectF;
using ui::controls::LabelOptions;

constexpr const char* kClassName = "TunoraSkinDialog";

constexpr ui::Argb kBackdropTop = 0xC8FFFFFF;
constexpr ui::Argb kBackdropBottom = 0xAAFFFFFF;
constexpr ui::Argb kButtonLit = 0xAAFFFFFF;
constexpr int kLit = 1;  // vertical gradient
constexpr int kPlain = ui::controls::kNoFill;
constexpr int kButtonAlignment = 4;

constexpr std::array<float, kSkinStyleCount> kStyleButtonX = {5, 96, 187, 278};
constexpr std::array<const char*, kSkinStyleCount> kStyleNames = {"时尚", "可爱", "lomo", "简约"};
constexpr float kButtonY = 30;
constexpr float kPreviewWidth = 140;
constexpr float kPreviewHeight = 70;
constexpr std::array<float, 2> kPreviewY = {100, 195};

float previewX(int column) { return 20.0f + 143.0f * static_cast<float>(column - 1); }

pw::LRESULT dialogProcedure(pw::HWND hwnd, pw::UINT message, pw::WPARAM wParam, pw::LPARAM lParam) {
  if (message == pw::WM_CREATE) {
    const auto* create = reinterpret_cast<const pw::CREATESTRUCTA*>(lParam);
    if (create != nullptr && create->lpCreateParams != nullptr) {
      static_cast<SkinDialog*>(create->lpCreateParams)->OnSkinDialogCreated(hwnd);
    }
    return 0;
  }
  return pw::DefWindowProcA(hwnd, message, wParam, lParam);
}

// Over the middle of the owner, kept on the work area.
pw::POINT placeOver(pw::HWND owner) {
  pw::RECT work;
  if (!pw::SystemParametersInfoA(pw::SPI_GETWORKAREA, 0, &work, 0)) {
    work = {0, 0, pw::GetSystemMetrics(pw::SM_CXSCREEN), pw::GetSystemMetrics(pw::SM_CYSCREEN)};
  }
  pw::RECT o{work.left, work.top, work.right, work.bottom};
  if (owner != nullptr) pw::GetWindowRect(owner, &o);
  int x = (o.left + o.right - kSkinDialogWidth) / 2;
  int y = (o.top + o.bottom - kSkinDialogHeight) / 2;
  x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - kSkinDialogWidth));
  y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - kSkinDialogHeight));
  return {x, y};
}

LabelOptions buttonOptions(int fillMode) {
  LabelOptions o;
  o.fillMode = fillMode;
  o.fillTo = kButtonLit;
  o.alignment = kButtonAlignment;
  return o;
}

}  // namespace

SkinDialog::SkinDialog(ui::ExWindow& mainHost, platform::system::ProgramFiles files, audio::AudioEngine& engine,
                       BackgroundWriter& skinWriter)
    : mainHost_(mainHost),
      files_(std::move(files)),
      engine_(engine),
      skinWriter_(skinWriter),
      skinImages_(kSkinPictureCount) {}

SkinDialog::~SkinDialog() {
  if (IsOpen()) pw::DestroyWindow(hwnd_);
}

bool SkinDialog::IsOpen() const { return hwnd_ != nullptr && pw::IsWindow(hwnd_) && host_.attached(); }

pw::HWND SkinDialog::Open(pw::HWND owner) {
  if (IsOpen()) {
    pw::ShowWindow(hwnd_, pw::SW_SHOWNORMAL);
    pw::SetForegroundWindow(hwnd_);
    return hwnd_;
  }
  if (host_.attached() || hwnd_ != nullptr) return nullptr;  // this object's window came and went
  pw::WNDCLASSEXA known;
  if (!pw::GetClassInfoExA(kClassName, &known) && !ui::registerWindowClass(dialogProcedure, kClassName)) {
    return nullptr;
  }
  const pw::POINT at = placeOver(owner);
  const pw::HWND hwnd = pw::CreateWindowExA(0, kClassName, SkinDialogTitle().c_str(), pw::WS_POPUP | pw::WS_SYSMENU,
                                            at.x, at.y, kSkinDialogWidth, kSkinDialogHeight, owner, this);
  if (hwnd == nullptr) return nullptr;
  if (!host_.attached()) {
    pw::DestroyWindow(hwnd);
    return nullptr;
  }
  pw::ShowWindow(hwnd, pw::SW_SHOWNORMAL);
  return hwnd;
}

void SkinDialog::OnSkinDialogCreated(pw::HWND hwnd) {
  hwnd_ = hwnd;
  std::string message;  // not looked at: a bad package leaves the pictures empty
  engine_.UnpackResourcePackage(files_.dataPath("\\Resource\\Skin.rdb"), skinImages_, message);
  // A package with fewer pictures leaves the rest empty rather than out of reach.
  if (skinImages_.size() < static_cast<std::size_t>(kSkinPictureCount)) skinImages_.resize(kSkinPictureCount);

  // A skin still being stored is what this window should show.
  skinWriter_.flush();
  const ScaledPicture skin = ReadPictureForScale(files_.readPath("\\Resource\\skin.png"), pw::GetWindowScale(hwnd));

  ui::AttachOptions options = MainWindowAttachOptions(ui::kCaptionIcon | ui::kCaptionTitle | ui::kCaptionClose);
  options.pictureScale = skin.scale;
  if (!host_.attach(hwnd, skin.bytes, options)) return;
  host_.layeredStyle(1);
  host_.setCloseEffect(ui::kCloseZoom);

  createControls();

  host_.onLeftDown([this](pw::HWND, int id, ui::ControlObject*, int kind) -> pw::LRESULT {
    OnSkinPress(id, kind);
    return 0;
  });
  host_.onEnter([this](pw::HWND, int id, ui::ControlObject*, int kind) -> pw::LRESULT {
    OnSkinEnter(id, kind);
    return 0;
  });
  host_.onLeave([this](pw::HWND, int id, ui::ControlObject*, int kind) -> pw::LRESULT {
    OnSkinLeave(id, kind);
    return 0;
  });
  currentStyle_ = 1;
  lastClickedControl_ = 1;
  platform::system::trimWorkingSet();
}

void SkinDialog::createControls() {
  LabelOptions backdrop;
  backdrop.fillMode = kLit;
  backdrop.fillFrom = kBackdropTop;
  backdrop.fillTo = kBackdropBottom;
  backdrop_.create(hwnd_, std::string{}, RectF{5, 60, 456, 230}, backdrop);
  backdrop_.enabled(0);
  backdrop_.locked(1);

  for (int style = 1; style <= kSkinStyleCount; ++style) {
    const std::size_t i = static_cast<std::size_t>(style - 1);
    styleButtons_[i].create(hwnd_, platform::text::utf8ToAnsi(kStyleNames[i]), RectF{kStyleButtonX[i], kButtonY, 92, 31},
                            buttonOptions(style == 1 ? kLit : kPlain));
  }
  customButton_.create(hwnd_, platform::text::utf8ToAnsi("自定义"), RectF{369, kButtonY, 91, 31},
                       buttonOptions(kPlain));

  const double scale = pw::GetWindowScale(hwnd_);
  for (int column = 1; column <= 3; ++column) {
    for (int row = 0; row <= 1; ++row) {
      const int entry = SkinEntry(1, row, column);
      preview(row, column).createFromData(
          hwnd_, RectF{previewX(column), kPreviewY[static_cast<std::size_t>(row)], kPreviewWidth, kPreviewHeight},
          skinImages_[static_cast<std::size_t>(entry)]);
      if (scale > 1 && !twiceOf(entry).empty()) preview(row, column).setImage(skinPicture(entry, scale));
    }
  }
}

const platform::system::ByteBlock& SkinDialog::twiceOf(int entry) const {
  static const platform::system::ByteBlock none;
  const std::size_t at = static_cast<std::size_t>(entry) + kSkinPictureCount;
  return entry >= 0 && at < skinImages_.size() ? skinImages_[at] : none;
}

resources::ExImage SkinDialog::skinPicture(int entry, double scale) const {
  resources::ExImage picture;
  if (scale > 1 && picture.LoadFromBytes(twiceOf(entry)) != nullptr) {
    picture.GetHandle()->setScale(2);
    return picture;
  }
  if (entry >= 0 && static_cast<std::size_t>(entry) < skinImages_.size()) {
    picture.LoadFromBytes(skinImages_[static_cast<std::size_t>(entry)]);
  }
  return picture;
}

pw::HWND OpenSkinDialog(std::unique_ptr<SkinDialog>& slot, ui::ExWindow& mainHost,
                        const platform::system::ProgramFiles& files, audio::AudioEngine& engine,
                        BackgroundWriter& skinWriter) {
  if (slot && slot->IsOpen()) return slot->Open(mainHost.handle());
  slot.reset();
  slot = std::make_unique<SkinDialog>(mainHost, files, engine, skinWriter);
  return slot->Open(mainHost.handle());
}

pw::HWND OpenSkinDialog(std::unique_ptr<SkinDialog>& slot, ui::ExWindow& mainHost, const std::string& folder,
                        audio::AudioEngine& engine, BackgroundWriter& skinWriter) {
  return OpenSkinDialog(slot, mainHost, platform::system::ProgramFiles::portable(folder), engine, skinWriter);
}

}  // namespace app
