// Building the message box, its event handlers and its modal loop.

#include "ui/framework/MessageBox.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "assets/EmbeddedArtwork.h"
#include "platform/text/CodePage.h"
#include "platform/window/DesktopServices.h"
#include "platform/window/UiThread.h"
#include "platform/window/WindowApi.h"
#include "ui/framework/ExWindow.h"
#include "ui/framework/Framework.h"
#include "ui/framework/MessageBoxParts.h"
#include "ui/framework/WindowClass.h"

namespace ui {

namespace pw = platform::window;

namespace {

constexpr pw::DWORD kBoxStyle = pw::WS_POPUP | pw::WS_BORDER | pw::WS_SYSMENU;
// Not layered: the window shows its image opaque, so whatever the window alpha leaves
// translucent (the skin, the rounded corners) shows over black, never over the desktop.
constexpr pw::DWORD kBoxExStyle = pw::WS_EX_APPWINDOW | pw::WS_EX_TOPMOST;
constexpr ColourRef kBoxColour = 0x00FF8800;
constexpr int kBoxAlpha = 170;

std::unique_ptr<MessageBoxPartFactory>& factorySlot() {
  static auto* slot = new std::unique_ptr<MessageBoxPartFactory>();
  return *slot;
}

struct BoxObjects {
  ExWindow host;
  std::unique_ptr<MessageBoxPart> label;
  std::array<std::unique_ptr<MessageBoxPart>, 3> buttons;  // positions 1..3
  resources::ExImage ownerSkin;
  int result = kBoxCodeCancel;
  HWND window = nullptr;
  HWND owner = nullptr;
  bool holdsOwner = false;
};

// Never destroyed, like the framework state: a box may still be open while globals go.
std::vector<std::unique_ptr<BoxObjects>>& boxSets() {
  static auto* sets = new std::vector<std::unique_ptr<BoxObjects>>();
  return *sets;
}

int& openDepth() {
  static int depth = 0;
  return depth;
}

// How many open boxes keep each owner disabled.
std::map<HWND, int>& ownerHolds() {
  static auto* holds = new std::map<HWND, int>();
  return *holds;
}

void holdOwner(BoxObjects& box) {
  if (box.owner == nullptr || box.holdsOwner) return;
  box.holdsOwner = true;
  ++ownerHolds()[box.owner];
  pw::EnableWindow(box.owner, false);
}

// Idempotent: every way out of a box calls it.
void releaseOwner(BoxObjects& box) {
  if (!box.holdsOwner) return;
  box.holdsOwner = false;
  auto& holds = ownerHolds();
  const auto it = holds.find(box.owner);
  if (it != holds.end() && --it->second > 0) return;  // an outer box still holds it
  if (it != holds.end()) holds.erase(it);
  pw::EnableWindow(box.owner, true);
}

// The icons drawn for the box's scale: the 2x strip above scale 1.
const platform::gfx::Image* iconStrip(double scale) {
  static const resources::ExImage* strip = [] {
    auto* image = new resources::ExImage();
    const auto png = assets::messageIconStripPng();
    image->LoadFromBytes(platform::system::ByteBlock(png.begin(), png.end()));
    return image;
  }();
  static const resources::ExImage* strip2x = [] {
    auto* image = new resources::ExImage();
    const auto png = assets::messageIconStripPng2x();
    if (image->LoadFromBytes(platform::system::ByteBlock(png.begin(), png.end())) != nullptr) {
      image->GetHandle()->setScale(2);
    }
    return image;
  }();
  return scale > 1 && strip2x->GetHandle() != nullptr ? strip2x->GetHandle() : strip->GetHandle();
}

int iconKindOf(HWND box) { return static_cast<int>(pw::GetPropA(box, kMessageBoxProperty)); }

void giveOwnerIcon(HWND box, HWND owner) {
  auto icon = static_cast<LRESULT>(pw::SendMessageA(owner, pw::WM_GETICON, pw::ICON_SMALL, 0));
  if (icon == 0) icon = static_cast<LRESULT>(pw::GetClassLongPtrA(owner, pw::GCLP_HICONSM));
  if (icon == 0) icon = static_cast<LRESULT>(pw::GetClassLongPtrA(owner, pw::GCLP_HICON));
  if (icon != 0) pw::SendMessageA(box, pw::WM_SETICON, pw::ICON_SMALL, icon);
}

void installHandlers(BoxObjects& box) {
  box.host.onCustomDraw([](HWND hwnd, platform::gfx::Graphics& g, int w, int h) {
    drawMessageBoxPanel(g, w, h, iconKindOf(hwnd), iconStrip(g.scale()));
  });
  box.host.onResized([&box](HWND, int w, int h) {
    for (int position = 1; position <= 3; ++position) {
      if (auto& button = box.buttons[static_cast<std::size_t>(position) - 1]) {
        const PointF to = boxButtonAfterResize(position, w, h);
        button->moveTo(to.x, to.y);
      }
    }
  });
}

void installInputHandlers(BoxObjects& box) {
  box.host.onClick([&box](HWND hwnd, int, ControlObject* object, int kind) -> LRESULT {
    if (kind == kKindCaptionButton) {
      releaseOwner(box);
    } else if (kind == kKindPushButton) {
      for (const auto& button : box.buttons) {
        if (!button || &button->control() != object) continue;
        const std::string tag = button->tag();
        int code = 0;
        const auto [end, error] = std::from_chars(tag.data(), tag.data() + tag.size(), code);
        if (error == std::errc() && end == tag.data() + tag.size()) box.result = code;
      }
      pw::RemovePropA(hwnd, kMessageBoxProperty);
      releaseOwner(box);
      pw::PostMessageA(hwnd, pw::WM_CLOSE, 0, 0);
    }
    return -1;
  });
  box.host.onKeyDown([&box](HWND hwnd, int, WPARAM key, LPARAM) -> LRESULT {
    if (key != static_cast<WPARAM>(pw::VK_ESCAPE)) return -1;
    releaseOwner(box);
    pw::PostMessageA(hwnd, pw::WM_CLOSE, 0, 0);
    return 0;
  });
  // Closing from the desktop (the window manager, Alt+F4) frees the owner as well, before
  // the box goes, so the owner is what the desktop activates next.
  box.host.setMessageHook([&box](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
    if (message == pw::WM_CLOSE) releaseOwner(box);
    // A box destroyed from inside a wait (a close sent by the desktop) posts nothing, and the
    // loop would sleep until the next input; wake it so it sees the box gone.
    if (message == pw::WM_DESTROY) pw::PostMessageA(nullptr, pw::WM_NULL, 0, 0);
    return -1;
  });
}

pw::RECT workArea() {
  pw::RECT work;
  if (!pw::SystemParametersInfoA(pw::SPI_GETWORKAREA, 0, &work, 0)) {
    work = {0, 0, pw::GetSystemMetrics(pw::SM_CXSCREEN), pw::GetSystemMetrics(pw::SM_CYSCREEN)};
  }
  return work;
}

// Sizes the box for its text and re-centres it; returns where the label goes.
RectF fitText(BoxObjects& box, std::string_view text, bool withIcon) {
  const pw::RECT work = workArea();
  const RectI area{work.left, work.top, work.width(), work.height()};
  const platform::gfx::Graphics* g = box.host.composedGraphics();
  const platform::gfx::Font* font = framework().defaultFont.get();
  const BoxLayout layout =
      layoutMessageBox([&](RectF in) { return measureText(g, text, font, in); }, withIcon, area);
  if (layout.width != kBoxWidth || layout.height != kBoxHeight) {
    const RectI at = placeMessageBox(layout.width, layout.height, pw::GetSystemMetrics(pw::SM_CXSCREEN),
                                     pw::GetSystemMetrics(pw::SM_CYSCREEN), area);
    pw::MoveWindow(box.window, at.x, at.y, at.width, at.height, true);
  }
  return layout.text;
}

// A framework owner lends its picture, mode and colour.
void borrowOwnerSkin(BoxObjects& box) {
  if (ExWindow::fromHandle(box.owner) == nullptr) return;  // others answer 0 to both
  const LRESULT picture = pw::SendMessageA(box.owner, kMsgBackgroundImage, 0, 0);
  const LRESULT colour = pw::SendMessageA(box.owner, kMsgBackgroundColour, 0, 0);
  const ExWindow* ownerHost = ExWindow::fromHandle(box.owner);
  if (ownerHost == nullptr || (picture == 0 && colour == 0) || ownerHost->backgroundMode() == 1) return;
  // Only the host's own picture is read: a hook of the owner may answer anything.
  const resources::ExImage& skin = ownerHost->backgroundImage();
  box.ownerSkin.Release();
  if (reinterpret_cast<const resources::ExImage*>(picture) == &skin && skin.GetHandle() != nullptr) {
    box.ownerSkin.SetHandle(skin.GetHandle()->cloneArea(0, 0, skin.GetWidth(), skin.GetHeight()));
    box.host.setBackgroundBitmap(box.ownerSkin);
  }
  box.host.setBackgroundMode(ownerHost->backgroundMode());
  box.host.redraw(std::nullopt, static_cast<ColourRef>(colour));
}

void createParts(BoxObjects& box, std::string_view text, int buttons, RectF textRect) {
  MessageBoxPartFactory* factory = factorySlot().get();
  if (factory == nullptr) return;
  pw::RECT client;
  pw::GetClientRect(box.window, &client);
  const std::array<int, 3> codes = boxButtonCodes(buttons);
  for (int position = 1; position <= 3; ++position) {
    const int code = codes[static_cast<std::size_t>(position) - 1];
    if (code < 0) continue;
    auto& slot = box.buttons[static_cast<std::size_t>(position) - 1];
    slot = factory->makeButton(box.window, boxButtonCaption(code),
                               boxButtonAtCreation(position, client.width(), client.height()));
    if (slot) slot->setTag(std::to_string(code));
  }
  box.label = factory->makeLabel(box.window, std::string(text), textRect, kBoxTextColour,
                                 platform::gfx::kFlagMeasureTrailingSpaces);
  if (box.label) box.label->setTag(std::to_string(reinterpret_cast<std::uintptr_t>(box.owner)));
}

// Leaves the set for the next box; the window is gone by then.
void clearSet(BoxObjects& box) {
  box.label.reset();
  for (auto& button : box.buttons) button.reset();
  box.ownerSkin.Release();
  box.window = nullptr;
  box.owner = nullptr;
}

struct DepthGuard {
  DepthGuard() { ++openDepth(); }
  ~DepthGuard() { --openDepth(); }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
};

// Runs until the box is gone; false when WM_QUIT ended it (its code in quitCode).
bool runLoop(HWND box, int& quitCode) {
  pw::MSG msg;
  while (pw::IsWindow(box)) {
    const int got = pw::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      quitCode = static_cast<int>(msg.wParam);
      return false;
    }
    if (got < 0) break;
    pw::TranslateMessage(&msg);
    pw::DispatchMessageA(&msg);
  }
  return true;
}

}  // namespace

void setMessageBoxPartFactory(std::unique_ptr<MessageBoxPartFactory> factory) {
  TUNORA_ASSERT_UI_THREAD();
  factorySlot() = std::move(factory);
}

HWND openMessageBox() {
  TUNORA_ASSERT_UI_THREAD();
  const int depth = openDepth();
  auto& sets = boxSets();
  if (depth <= 0 || depth > static_cast<int>(sets.size())) return nullptr;
  return sets[static_cast<std::size_t>(depth) - 1]->window;
}

int showMessageBox(HWND owner, std::string_view text, int buttons, const std::optional<std::string>& title,
                   int icon, const BoxCreatedCallback& onCreated, int beep) {
  TUNORA_ASSERT_UI_THREAD();
  start();
  pw::WNDCLASSEXA known;
  if (!pw::GetClassInfoExA(kFrameworkClassName, &known)) registerWindowClass(defaultWindowProcedure);
  auto& sets = boxSets();
  const DepthGuard depth;
  if (static_cast<int>(sets.size()) < openDepth()) sets.push_back(std::make_unique<BoxObjects>());
  BoxObjects& box = *sets[static_cast<std::size_t>(openDepth()) - 1];
  box.result = kBoxCodeCancel;
  box.holdsOwner = false;
  box.owner = (owner != nullptr && pw::IsWindow(owner)) ? owner : nullptr;

  static const std::string defaultTitle = platform::text::utf8ToAnsi("提示：");
  int zero = 0;
  box.window = pw::CreateWindowExA(kBoxExStyle, kFrameworkClassName, title.value_or(defaultTitle).c_str(), kBoxStyle,
                                   (pw::GetSystemMetrics(pw::SM_CXSCREEN) - kBoxWidth) / 2,
                                   (pw::GetSystemMetrics(pw::SM_CYSCREEN) - kBoxHeight) / 2, kBoxWidth, kBoxHeight,
                                   box.owner, &zero);
  if (box.window == nullptr) {
    clearSet(box);
    return kBoxCodeCancel;
  }
  if (box.owner != nullptr) giveOwnerIcon(box.window, box.owner);
  pw::SetPropA(box.window, kMessageBoxProperty, icon);

  installHandlers(box);
  AttachOptions options;
  options.backgroundColour = kBoxColour;
  options.captionButtonSet = kCaptionTitle | kCaptionClose;
  options.windowAlpha = kBoxAlpha;
  options.applicationValue = 0;
  options.fixedSize = 1;
  options.dragLocked = 0;
  if (!box.host.attach(box.window, {}, options)) {
    pw::DestroyWindow(box.window);
    clearSet(box);
    return kBoxCodeCancel;
  }
  installInputHandlers(box);

  const RectF textRect = fitText(box, text, icon != kBoxIconNone);
  if (box.owner != nullptr) borrowOwnerSkin(box);
  createParts(box, text, buttons, textRect);

  pw::RECT client;
  pw::GetClientRect(box.window, &client);
  if (onCreated) onCreated(box.window, client.width(), client.height());
  if (beep != 0 && icon != kBoxIconNone) pw::MessageBeep(static_cast<pw::UINT>(icon));

  if (box.buttons[0] && box.host.attached()) {
    box.host.setFocusedControl(controlIndexOf(box.host.windowIndex(), box.buttons[0]->control().id()));
  }
  pw::ShowWindow(box.window, pw::SW_SHOWNORMAL);
  holdOwner(box);

  int quitCode = 0;
  const bool closed = runLoop(box.window, quitCode);
  releaseOwner(box);
  if (!closed) {
    // The application is ending: take the box down and let the loop outside see the quit.
    if (pw::IsWindow(box.window)) pw::DestroyWindow(box.window);
    pw::PostQuitMessage(quitCode);
  }
  const int result = box.result;
  clearSet(box);
  return result;
}

}  // namespace ui
