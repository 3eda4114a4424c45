#pragma once
// A horizontal slider showing two percentages: the value as a gradient bar up to a round
// thumb, and a second value as a lighter bar behind it (how much of a song is downloaded).
// Clicks and drags move the value and report it, as a whole number, to onChange.
//
// Values outside 0..100 (NaN and the infinities included) are refused and the old value
// stays; an unchanged value does not repaint. UI thread only.

#include <functional>
#include <optional>

#include "resources/ExImage.h"
#include "ui/controls/ExControl.h"

namespace ui::controls {

struct SliderOptions {
  int trackHeight = 10;
  // Clamped into 0..100 at creation (a stored setting may lie outside); NaN gives 0.
  double value = 0;
  double secondValue = 0;
  platform::gfx::Argb valueColorFrom = 0xE60088FFu;
  platform::gfx::Argb valueColorTo = 0xE600E080u;
  platform::gfx::Argb secondColor = 0x46FFFFFFu;
  platform::gfx::Argb trackColor = 0x32FFFFFFu;
  platform::gfx::Argb trackBorderColor = 0x46000000u;
  bool interactive = true;
  // The built-in 14 x 14 thumbs when not given.
  std::optional<resources::ExImage> thumbImage;
  std::optional<resources::ExImage> thumbHotImage;
  std::optional<int> cornerRadius;  // default: the host window's corner radius
  bool visible = true;
};

class ExSlider : public ExControl {
 public:
  static constexpr int kMinimumHeight = 12;
  // Half and full width of the thumb's reach: the track is inset by the half at both ends.
  static constexpr float kThumbHalfWidth = 9;

  // Registers with kind 12 (a height below 12 is raised to 12); returns the id. A second
  // create keeps the first id and settings.
  int create(HWND host, RectF bounds, SliderOptions options = {});

  // Sets when v lies within 0..100 (1e-7 tolerance) and differs; answers the value.
  float value(std::optional<double> v = std::nullopt);
  float secondValue(std::optional<double> v = std::nullopt);
  void setOnChange(std::function<void(int value)> onChange) { onChange_ = std::move(onChange); }
  bool interactive() const { return interactive_; }

  // The value the mouse cursor points at, 0..100.
  float valueFromMouse() const;
  // The thumb's rectangle for the current value, in client coordinates.
  RectF thumbRect() const;
  // True while the thumb shows its highlighted picture (pointer over it, or dragging).
  bool hot() const { return hot_; }
  int fade() const { return fade_; }

 protected:
  void onPaint(LPARAM occasion) override;
  void onMouseMove(int x, int y, WPARAM keys) override;
  void onLeftDown(int x, int y, WPARAM keys) override;
  void onLeftUp(int x, int y, WPARAM keys) override;
  void onClickMessage(bool byKey) override;
  void onTimer(UINT_PTR timerId) override;
  void onHidden() override;
  void onDestroy() override;

 private:
  float valueAt(int clientX) const;
  RectF trackRect() const;
  // Changes the thumb's look, fading the new one in.
  void setHot(bool hot);
  // Stores a mouse-given value; reports it when asked or when it changed.
  void takeMouseValue(float v, bool alwaysReport);
  void paint();
  void drawBars(Graphics& g, RectF track) const;
  void drawThumb(Graphics& g) const;

  float value_ = 0;
  float secondValue_ = 0;
  bool interactive_ = true;
  resources::ExImage thumbImage_;
  resources::ExImage thumbHotImage_;
  bool builtInThumbs_ = true;  // the program's own thumbs, which come at 2x too
  platform::gfx::Argb secondColor_ = 0;
  platform::gfx::Argb valueColorFrom_ = 0;
  platform::gfx::Argb valueColorTo_ = 0;
  platform::gfx::Argb trackColor_ = 0;
  platform::gfx::Argb trackBorderColor_ = 0;
  std::function<void(int)> onChange_;
  int fade_ = 0;  // 0 when no fade runs
  int cornerRadius_ = 0;
  int trackHeight_ = 10;
  bool hot_ = false;
  bool fadeFromHot_ = false;  // the look being faded out
};

}  // namespace ui::controls
