#pragma once
// Drawing onto a surface: fills, strokes, paths, clipping, images and text. Stroke
// coordinates name pixel centres, so a one-pixel line at y = 5 covers row 5 exactly;
// fill coordinates name pixel edges, so a rectangle (0, 0, 9, 9) covers 9 x 9 pixels.
// UI thread only, like the surface it draws on.

#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/gfx/Brush.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Path.h"
#include "platform/gfx/StringFormat.h"
#include "platform/gfx/Surface.h"

namespace platform::gfx {

// HighQuality (2), AntiAlias (4) and AntiAlias8x8 (5) smooth; the other modes do not.
enum SmoothingMode : int { kSmoothingNone = 3, kSmoothingAntiAlias = 4 };
enum TextRenderingHint : int {
  kTextSystemDefault = 0,
  kTextSingleBitPerPixelGridFit = 1,
  kTextSingleBitPerPixel = 2,
  kTextAntiAliasGridFit = 3,
  kTextAntiAlias = 4,
  kTextClearTypeGridFit = 5,
};
enum InterpolationMode : int {
  kInterpolationDefault = 0,
  kInterpolationLowQuality = 1,
  kInterpolationHighQuality = 2,
  kInterpolationBilinear = 3,
  kInterpolationBicubic = 4,
  kInterpolationNearestNeighbor = 5,
  kInterpolationHighQualityBilinear = 6,
  kInterpolationHighQualityBicubic = 7,
};
enum CombineMode : int {
  kCombineReplace = 0,
  kCombineIntersect = 1,
  kCombineUnion = 2,
  kCombineXor = 3,
  kCombineExclude = 4,
  kCombineComplement = 5,
};

namespace detail {
// The drawing back end's context, target and clip.
struct GraphicsState;
struct GraphicsStateDeleter {
  void operator()(GraphicsState* s) const;
};
}  // namespace detail

class Graphics {
 public:
  // The target must outlive the graphics object. Starts anti-aliased with grid-fitted
  // anti-aliased text and bilinear interpolation.
  explicit Graphics(Surface& target);
  explicit Graphics(Image& target);
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  bool valid() const { return state_ != nullptr; }
  // The target's size in units, and its pixels a unit.
  int width() const { return width_; }
  int height() const { return height_; }
  double scale() const { return scale_; }

  void setSmoothing(int mode);
  void setTextRendering(int hint);
  void setInterpolation(int mode) { interpolation_ = mode; }
  int interpolation() const { return interpolation_; }

  void clear(Argb colour);
  void fillRectangle(const Brush& brush, RectF rect);
  void fillPath(const Brush& brush, const Path& path);
  void fillPolygon(const Brush& brush, std::span<const PointF> points, int fillMode = kFillAlternate);
  void fillEllipse(const Brush& brush, RectF rect);
  void drawLine(const Pen& pen, float x1, float y1, float x2, float y2);
  void drawRectangle(const Pen& pen, RectF rect);
  void drawPath(const Pen& pen, const Path& path);
  void drawPolygon(const Pen& pen, std::span<const PointF> points);

  // Clipping persists until changed. Replace, Intersect and Exclude are supported; the
  // other combine modes leave the clip unchanged and answer false.
  bool setClip(RectF rect, int combine = kCombineReplace);
  bool setClip(const Path& path, int combine = kCombineReplace);
  void resetClip();
  RectF clipBounds() const;

  // Draws the source rectangle of the active frame into the destination rectangle with
  // a constant alpha (0..1) on top of the image's own, using the interpolation mode.
  void drawImage(const Image& image, RectF dest, RectF source, float alpha = 1.0f);
  void drawImage(const Image& image, RectF dest);
  void drawImage(const Image& image, float x, float y);
  void drawSurface(const Surface& surface, RectF dest, RectF source, float alpha = 1.0f);

  // Text is UTF-16. A null font draws nothing and measures as empty.
  void drawString(std::u16string_view text, const Font* font, RectF layout, const StringFormat& format,
                  Argb colour);
  RectF measureString(std::u16string_view text, const Font* font, RectF layout,
                      const StringFormat& format) const;
  // Bounds of each (first, length) range of UTF-16 units as laid out in layout.
  std::vector<RectF> measureCharacterRanges(std::u16string_view text, const Font* font, RectF layout,
                                            const StringFormat& format,
                                            std::span<const std::pair<int, int>> ranges) const;

  // Measuring without a target surface, with the default text settings.
  static RectF measureDetached(std::u16string_view text, const Font* font, RectF layout,
                               const StringFormat& format);

  detail::GraphicsState* state() const { return state_.get(); }

 private:
  void init(Surface& target);
  // Whether drawing can go ahead; a back end may recover from an earlier failed call here.
  bool ready() const;

  std::unique_ptr<detail::GraphicsState, detail::GraphicsStateDeleter> state_;
  int smoothing_ = kSmoothingAntiAlias;
  double scale_ = 1;
  int textHint_ = kTextAntiAliasGridFit;
  int width_ = 0;
  int height_ = 0;
  int interpolation_ = kInterpolationBilinear;
};

}  // namespace platform::gfx
