// The host's own controls: the caption buttons, right-aligned at the top, and the icon
// panel. The control classes live above the framework, so a factory makes them.

#include <bit>

#include "ui/framework/ExWindowState.h"

namespace ui {

DecorationFactory* decorationFactory();

namespace {

// Caption-button bits from right to left; the close button is the rightmost.
constexpr int kButtonOrder[] = {kCaptionClose,    kCaptionMaximize, kCaptionMinimize, kCaptionMenu,
                                kCaptionSkin,     kCaptionFeedback, kCaptionSettings};
constexpr int kButtonBits = kCaptionClose | kCaptionMaximize | kCaptionMinimize | kCaptionMenu |
                            kCaptionSkin | kCaptionFeedback | kCaptionSettings;
constexpr RectF kIconPanelBounds{6, 6, 16, 16};

// Where each button of the set goes, in kButtonOrder order.
std::vector<std::pair<int, RectF>> captionPlaces(int set, int windowWidth, int margin) {
  std::vector<std::pair<int, RectF>> places;
  float right = static_cast<float>(windowWidth - margin - 3);
  for (int bit : kButtonOrder) {
    if ((set & bit) == 0) continue;
    const float w = bit == kCaptionClose ? kCloseButtonWidth : kCaptionButtonWidth;
    right -= w;
    places.push_back({bit, RectF{right, static_cast<float>(margin + 1), w, kCaptionButtonHeight}});
  }
  return places;
}

void registerIfNeeded(ControlObject& control, HWND host, RectF bounds, int kind) {
  if (control.id() != 0) return;
  ControlPlacement placement;
  placement.bounds = bounds;
  placement.kind = kind;
  placement.takesPress = true;
  registerControl(control, host, placement);
}

}  // namespace

void ExWindow::State::createDecorations() {
  DecorationFactory* factory = decorationFactory();
  if (factory == nullptr) return;
  for (const auto& [bit, bounds] : captionPlaces(captionButtonSet, width, margin())) {
    std::unique_ptr<ControlObject> button = factory->makeCaptionButton(hwnd, bit, bounds);
    if (!button) continue;
    registerIfNeeded(*button, hwnd, bounds, kKindCaptionButton);
    captionButtons.push_back({bit, std::move(button)});
  }
  if (captionButtonSet & kCaptionIcon) {
    iconPanel = factory->makeIconPanel(hwnd, kIconPanelBounds);
    if (iconPanel) registerIfNeeded(*iconPanel, hwnd, kIconPanelBounds, kKindPicture);
  }
}

void ExWindow::State::destroyDecorations() {
  auto farewell = [this](ControlObject* control) {
    if (control == nullptr || entry() == nullptr) return;
    const int index = controlIndexOf(windowIndex, control->id());
    if (index > 0) sendToControl(windowIndex, index, hwnd, pw::WM_DESTROY, 0, 0, true);
    forgetControl(*control);
  };
  for (auto& button : captionButtons) farewell(button.control.get());
  farewell(iconPanel.get());
  for (auto& button : captionButtons) retired.push_back(std::move(button.control));
  retired.push_back(std::move(iconPanel));
  captionButtons.clear();
  if (handlingDepth == 0) retired.clear();
}

void ExWindow::State::placeDecorations() {
  const auto places = captionPlaces(captionButtonSet, width, margin());
  for (auto& button : captionButtons) {
    for (const auto& [bit, bounds] : places) {
      if (bit != button.bit) continue;
      if (ControlRecord* r = controlRecord(windowIndex, controlIndexOf(windowIndex, button.control->id()))) {
        r->bounds = bounds;
      }
      button.control->setPlacement(bounds);
    }
  }
}

int ExWindow::State::captionButtonCount() const { return std::popcount(static_cast<unsigned>(captionButtonSet & kButtonBits)); }

int ExWindow::State::minimumWidth() const {
  const int n = captionButtonCount();
  return 40 + kCaptionButtonWidth * n + ((captionButtonSet & kCaptionClose) ? 11 : 0);
}

int ExWindow::State::captionBitOf(int controlId) const {
  if (controlId <= 0) return 0;
  for (const auto& button : captionButtons) {
    if (button.control && button.control->id() == controlId) return button.bit;
  }
  return 0;
}

void ExWindow::State::toggleMaximise() {
  const HWND window = hwnd;
  pw::SendMessageA(window, pw::WM_NCLBUTTONDOWN, pw::HTCAPTION, 0);
  pw::PostMessageA(window, pw::WM_SYSCOMMAND, pw::IsZoomed(window) ? pw::SC_RESTORE : pw::SC_MAXIMIZE, 0);
  pw::SendMessageA(window, pw::WM_NCLBUTTONDOWN, pw::HTCAPTION, 0);
}

}  // namespace ui
