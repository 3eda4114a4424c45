#include "ui/framework/Drawing.h"

#include <algorithm>

namespace ui {

namespace gfx = platform::gfx;

RectF makeRect(float x, float y, float width, float height) { return RectF{x, y, width, height}; }

gfx::Pen createPen(Argb colour, float width) { return gfx::Pen{colour, width}; }

gfx::Brush createSolidBrush(Argb colour) { return gfx::Brush::solid(colour); }

void fillRect(Graphics& g, RectF r, Argb colour) {
  g.fillRectangle(createSolidBrush(colour), RectF{r.x, r.y, r.width - 1, r.height - 1});
}

void fillGradientRect(Graphics& g, RectF rect, Argb from, Argb to, int mode) {
  g.fillRectangle(gfx::Brush::linearGradient(rect, from, to, mode, gfx::kWrapTileFlipXY), rect);
}

void drawLine(Graphics& g, Argb colour, float x1, float y1, float x2, float y2, float width) {
  g.drawLine(createPen(colour, width), x1, y1, x2, y2);
}

gfx::Path roundedPath(RectF r, float d, int fillMode) {
  const float right = r.x + r.width - d - 1;
  const float bottom = r.y + r.height - d - 1;
  gfx::Path path(fillMode);
  path.addArc(r.x, r.y, d, d, 180, 90);
  path.addArc(right, r.y, d, d, 270, 90);
  path.addArc(right, bottom, d, d, 0, 90);
  path.addArc(r.x, bottom, d, d, 90, 90);
  path.closeFigure();
  return path;
}

gfx::Path roundedClipPath(RectF r, float d, int fillMode) {
  const float right = r.x + r.width - d;
  const float bottom = r.y + r.height - d;
  gfx::Path path(fillMode);
  path.addArc(right, r.y, d, d, 270, 90);
  path.addArc(right, bottom, d, d, 0, 90);
  path.addArc(r.x, bottom, d, d, 90, 90);
  path.addArc(r.x, r.y, d, d, 180, 90);
  path.closeFigure();
  return path;
}

void drawRoundRect(Graphics& g, RectF rect, float diameter, std::optional<Argb> fill,
                   std::optional<Argb> border, float borderWidth) {
  const gfx::Path path = roundedPath(rect, diameter);
  if (fill) g.fillPath(createSolidBrush(*fill), path);
  if (border) g.drawPath(createPen(*border, borderWidth), path);
}

void setClipRect(Graphics& g, RectF rect, int combine) { g.setClip(rect, combine); }

void setClipPath(Graphics& g, const gfx::Path& path, int combine) { g.setClip(path, combine); }

void resetClip(Graphics& g) { g.resetClip(); }

void drawNineGrid(Graphics& g, const gfx::Image& image, RectF dest, NineGridMargins m, float alpha) {
  const float w = static_cast<float>(image.width()), h = static_cast<float>(image.height());
  if (w <= 0 || h <= 0) return;
  const float srcX[] = {0, m.left, w - m.right, w};
  const float srcY[] = {0, m.top, h - m.bottom, h};
  const float dstX[] = {dest.x, dest.x + m.left, dest.right() - m.right, dest.right()};
  const float dstY[] = {dest.y, dest.y + m.top, dest.bottom() - m.bottom, dest.bottom()};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      const RectF source{srcX[col], srcY[row], srcX[col + 1] - srcX[col], srcY[row + 1] - srcY[row]};
      const RectF target{dstX[col], dstY[row], dstX[col + 1] - dstX[col], dstY[row + 1] - dstY[row]};
      if (source.empty() || target.empty()) continue;
      g.drawImage(image, target, source, alpha);
    }
  }
}

NineGridMargins nineGridMarginsFor(int imageWidth, int imageHeight) {
  const float horizontal = imageWidth > 100 ? 100.0f : imageWidth / 2.0f;
  const float vertical = imageHeight > 100 ? 100.0f : imageHeight / 2.0f;
  return NineGridMargins{horizontal, vertical, horizontal, vertical};
}

bool pointInRect(RectF r, float x, float y) {
  constexpr double kTolerance = 1e-7;
  return double(x) - r.x >= -kTolerance && double(y) - r.y >= -kTolerance &&
         double(r.x) + r.width - x > kTolerance && double(r.y) + r.height - y > kTolerance;
}

platform::gfx::RectI intersect(platform::gfx::RectI a, platform::gfx::RectI b) {
  const int left = std::max(a.x, b.x), top = std::max(a.y, b.y);
  const int right = std::min(a.x + a.width, b.x + b.width), bottom = std::min(a.y + a.height, b.y + b.height);
  if (right <= left || bottom <= top) return {};
  return {left, top, right - left, bottom - top};
}

platform::gfx::RectI unite(platform::gfx::RectI a, platform::gfx::RectI b) {
  if (a.width <= 0 || a.height <= 0) return b;
  if (b.width <= 0 || b.height <= 0) return a;
  const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
  const int right = std::max(a.x + a.width, b.x + b.width), bottom = std::max(a.y + a.height, b.y + b.height);
  return {left, top, right - left, bottom - top};
}

}  // namespace ui
