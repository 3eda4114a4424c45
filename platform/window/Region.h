#pragma once
// A window region: the part of a window that is really there (clicks and pixels outside
// it fall through). Kept as disjoint rectangles, one or more per scan-line band.

#include <vector>

#include "platform/window/WindowTypes.h"

namespace platform::window {

class Region {
 public:
  Region() = default;
  explicit Region(std::vector<RECT> rectangles);

  // The geometry of CreateRoundRectRgn: right and bottom exclusive, corners cut by an
  // ellipse of ellipseWidth x ellipseHeight. Swapped edges are put in order; the ellipse
  // is limited to the rectangle.
  static Region roundRect(int left, int top, int right, int bottom, int ellipseWidth,
                          int ellipseHeight);

  const std::vector<RECT>& rectangles() const { return rectangles_; }
  bool empty() const { return rectangles_.empty(); }
  bool contains(int x, int y) const;
  RECT bounds() const;

  // The round-rectangle arguments this region was made from, when it was.
  struct RoundRect {
    RECT rect;
    int ellipseWidth = 0;
    int ellipseHeight = 0;
    friend bool operator==(const RoundRect&, const RoundRect&) = default;
  };
  const RoundRect* roundRectSource() const { return hasRoundRect_ ? &roundRect_ : nullptr; }

 private:
  std::vector<RECT> rectangles_;
  RoundRect roundRect_;
  bool hasRoundRect_ = false;
};

}  // namespace platform::window
