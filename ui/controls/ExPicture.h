#pragma once
// A picture box: one image scaled to its bounds, with an optional one-pixel border; a
// multi-frame image (animated GIF) plays frame by frame with each frame's own delay once
// animation is on. Every window host shows its icon in one.

#include <vector>

#include "platform/system/ByteBlock.h"
#include "resources/ExImage.h"
#include "ui/controls/ExControl.h"

namespace ui::controls {

struct PictureOptions {
  bool animate = false;
  platform::gfx::Argb borderColour = 0;  // 0: no border
  bool visible = true;
  bool takesPress = true;
};

class ExPicture : public ExControl {
 public:
  // Takes the image and registers with kind 4; returns the id (a second create keeps it).
  int create(HWND host, RectF bounds, resources::ExImage image, const PictureOptions& options = {});
  // The same, with the image decoded from bytes (an undecodable source shows nothing) and
  // animation off.
  int createFromData(HWND host, RectF bounds, const platform::system::ByteBlock& source,
                     platform::gfx::Argb borderColour = 0);

  // Turns animation on or off and starts again from the first frame.
  void setAnimate(bool animate);
  void setImage(resources::ExImage image, bool redrawNow = false);

  bool animate() const { return animate_ != 0; }
  int frame() const { return frame_; }
  int frameCount() const { return frameCount_; }
  // Hundredths of a second per frame; a stored delay of 0 becomes 10.
  const std::vector<int>& frameDelays() const { return frameDelays_; }
  const resources::ExImage& image() const { return image_; }

 protected:
  void onPaint(LPARAM occasion) override;
  void onTimer(UINT_PTR timerId) override;
  void onDestroy() override;

 private:
  void takeImage(resources::ExImage image);
  void paint();

  resources::ExImage image_;
  int animate_ = 0;
  platform::gfx::Argb borderColour_ = 0;
  int frame_ = 0;
  int frameCount_ = 0;
  int started_ = 0;
  std::vector<int> frameDelays_;
};

}  // namespace ui::controls
