#include "platform/gfx/Graphics.h"

namespace platform::gfx {

Graphics::Graphics(Surface& target) {
  if (target.valid()) init(target);
}

Graphics::Graphics(Image& target) {
  if (target.frameCount() > 0) {
    init(target.surface());
  }
}

void Graphics::fillPolygon(const Brush& brush, std::span<const PointF> points, int fillMode) {
  Path path(fillMode);
  path.addPolygon(points);
  fillPath(brush, path);
}

void Graphics::fillEllipse(const Brush& brush, RectF rect) {
  Path path;
  path.addEllipse(rect);
  fillPath(brush, path);
}

void Graphics::drawRectangle(const Pen& pen, RectF rect) {
  Path path;
  path.addRectangle(rect);
  drawPath(pen, path);
}

void Graphics::drawPolygon(const Pen& pen, std::span<const PointF> points) {
  Path path;
  path.addPolygon(points);
  drawPath(pen, path);
}

void Graphics::drawImage(const Image& image, RectF dest, RectF source, float alpha) {
  if (image.frameCount() == 0) return;
  drawSurface(image.surface(), dest, source, alpha);
}

void Graphics::drawImage(const Image& image, RectF dest) {
  drawImage(image, dest, RectF{0, 0, float(image.width()), float(image.height())});
}

void Graphics::drawImage(const Image& image, float x, float y) {
  drawImage(image, RectF{x, y, float(image.width()), float(image.height())});
}

RectF Graphics::measureDetached(std::u16string_view text, const Font* font, RectF layout,
                                const StringFormat& format) {
  Surface scratch = Surface::create(1, 1);
  Graphics g(scratch);
  return g.measureString(text, font, layout, format);
}

}  // namespace platform::gfx
