#pragma once
// A headless desktop with one attached window host and a control that paints a flat
// colour, for the control tests.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/window/WindowApi.h"
#include "platform/window/headless/HeadlessBackend.h"
#include "ui/controls/ExControl.h"
#include "ui/framework/ExWindow.h"

namespace controltest {

namespace pw = platform::window;
using pw::HWND;
using pw::LRESULT;
using pw::LPARAM;
using pw::UINT;
using pw::WPARAM;

// Fills its bounds with one colour; with spill it also tries to paint a wide margin
// around them, which the paint protocol must keep off the neighbours.
class FlatControl : public ui::controls::ExControl {
 public:
  explicit FlatControl(platform::gfx::Argb colour, bool spill = false) : colour_(colour), spill_(spill) {}
  int create(HWND host, platform::gfx::RectF bounds, bool visible = true, bool takesPress = true);
  void setColour(platform::gfx::Argb colour) { colour_ = colour; }

  int paints = 0;
  std::vector<LPARAM> paintOccasions;
  std::vector<UINT> notes;  // kMsgHidden, kMsgShown, kMsgClick, WM_LBUTTONDOWN, ...

 protected:
  void onPaint(LPARAM occasion) override;
  void onLeftDown(int, int, WPARAM) override { notes.push_back(pw::WM_LBUTTONDOWN); }
  void onMouseMove(int, int, WPARAM) override { notes.push_back(pw::WM_MOUSEMOVE); }
  void onClickMessage(bool) override { notes.push_back(ui::kMsgClick); }
  void onHidden() override { notes.push_back(ui::kMsgHidden); }
  void onShown() override { notes.push_back(ui::kMsgShown); }
  void onDoubleClick(int, int, WPARAM) override { notes.push_back(pw::WM_LBUTTONDBLCLK); }
  void onRightDown(int, int, WPARAM) override { notes.push_back(pw::WM_RBUTTONDOWN); }
  void onRightUp(int, int, WPARAM) override { notes.push_back(pw::WM_RBUTTONUP); }
  void onKeyDown(WPARAM key, LPARAM) override {
    notes.push_back(pw::WM_KEYDOWN);
    lastKey = key;
  }
  void onChar(WPARAM code, LPARAM) override {
    notes.push_back(pw::WM_CHAR);
    lastChar = code;
  }
  void onWheel(int delta, int, int) override {
    notes.push_back(pw::WM_MOUSEWHEEL);
    lastWheel = delta;
  }

 public:
  WPARAM lastKey = 0, lastChar = 0;
  int lastWheel = 0;

 private:
  platform::gfx::Argb colour_;
  bool spill_;
};

// A fresh desktop, the framework with its decorations, and a shown window of the given
// size attached with a plain colour background (no picture).
class HostFixture : public ::testing::Test {
 public:
  static constexpr ui::ColourRef kBackground = 0x00302010;  // shows as 0xFF102030
  static constexpr platform::gfx::Argb kBackgroundArgb = 0xFF102030;

 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates and attaches; caption set 0 gives a window without decorations.
  HWND openHost(int width, int height, ui::AttachOptions options, pw::DWORD style = pw::WS_POPUP,
                const platform::system::ByteBlock& picture = {});
  // Straight ARGB of what the desktop shows at client (x, y).
  platform::gfx::Argb shown(int x, int y) const;

  pw::HeadlessBackend* desk = nullptr;
  HWND hwnd = nullptr;
  std::unique_ptr<ui::ExWindow> window;
};

ui::AttachOptions plainOptions(int captionSet = 0);

}  // namespace controltest
