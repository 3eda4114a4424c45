#include "platform/gfx/Graphics.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/gdiplus/GdiplusHandles.h"
#include "platform/gfx/gdiplus/TextLayout.h"

namespace platform::gfx {

namespace {

// Strokes are offset by half a pixel so that integer coordinates land on pixel centres.
constexpr float kStrokeOffset = 0.5f;

detail::GpBrushPtr brushOf(const Brush& brush) {
  if (!brush.isGradient()) {
    Gdiplus::GpSolidFill* solid = nullptr;
    gp::GdipCreateSolidFill(brush.colour(), &solid);
    return detail::GpBrushPtr(solid);
  }
  const RectF r = brush.rect();
  Gdiplus::GpRectF rect(r.x, r.y, r.width, r.height);
  const auto mode = static_cast<Gdiplus::LinearGradientMode>(brush.mode());
  const bool horizontal = mode == Gdiplus::LinearGradientModeHorizontal;
  // Line brushes refuse to clamp: the brush is stretched far along its axis instead, and
  // keeps the end colours outside the given rectangle.
  const bool clamp = brush.wrap() == kWrapClamp && (horizontal || mode == Gdiplus::LinearGradientModeVertical);
  constexpr float kClampReach = 10000.0f;
  const float length = horizontal ? r.width : r.height;
  if (clamp) {
    (horizontal ? rect.X : rect.Y) -= kClampReach;
    (horizontal ? rect.Width : rect.Height) += 2 * kClampReach;
  }
  Gdiplus::GpLineGradient* line = nullptr;
  gp::GdipCreateLineBrushFromRect(&rect, brush.from(), brush.to(), mode,
                                  clamp || brush.wrap() == kWrapClamp ? Gdiplus::WrapModeTile
                                                                      : static_cast<Gdiplus::GpWrapMode>(brush.wrap()),
                                  &line);
  if (clamp && line != nullptr) {
    const float whole = length + 2 * kClampReach;
    Gdiplus::ARGB colours[4] = {brush.from(), brush.from(), brush.to(), brush.to()};
    Gdiplus::REAL positions[4] = {0, kClampReach / whole, (kClampReach + length) / whole, 1};
    gp::GdipSetLinePresetBlend(line, colours, positions, 4);
  }
  return detail::GpBrushPtr(line);
}

void strokePath(Gdiplus::GpGraphics* g, const Pen& pen, Gdiplus::GpPath* path) {
  Gdiplus::GpPen* p = nullptr;
  if (gp::GdipCreatePen1(pen.colour, std::max(pen.width, 0.01f), Gdiplus::UnitWorld, &p) != Gdiplus::Ok) return;
  gp::GdipDrawPath(g, p, path);
  gp::GdipDeletePen(p);
}

}  // namespace

detail::GraphicsState::~GraphicsState() {
  if (graphics != nullptr) gp::GdipDeleteGraphics(graphics);
}

void detail::GraphicsStateDeleter::operator()(GraphicsState* s) const { delete s; }

Gdiplus::GpGraphics* graphicsOf(const Graphics& graphics) {
  return graphics.state() != nullptr ? graphics.state()->graphics : nullptr;
}

detail::GpGraphicsPtr unitGraphicsOn(const Surface& surface) {
  Gdiplus::GpGraphics* g = nullptr;
  if (!surface.valid() || gp::GdipGetImageGraphicsContext(bitmapOf(surface), &g) != Gdiplus::Ok) return nullptr;
  // The scale goes into the page transform, so that everything above draws in units.
  gp::GdipSetPageUnit(g, Gdiplus::UnitPixel);
  gp::GdipSetPageScale(g, static_cast<Gdiplus::REAL>(surface.scale()));
  // Pixel edges on whole coordinates, as fills and clips expect.
  gp::GdipSetPixelOffsetMode(g, Gdiplus::PixelOffsetModeHalf);
  gp::GdipSetCompositingMode(g, Gdiplus::CompositingModeSourceOver);
  return detail::GpGraphicsPtr(g);
}

void drawBitmap(Gdiplus::GpGraphics* g, Gdiplus::GpBitmap* source, RectF dest, RectF s, float alpha) {
  Gdiplus::GpImageAttributes* made = nullptr;
  if (gp::GdipCreateImageAttributes(&made) != Gdiplus::Ok) return;
  detail::GpImageAttributesPtr attributes(made);
  // Edge pixels repeat outward instead of fading into transparency when stretched.
  gp::GdipSetImageAttributesWrapMode(made, Gdiplus::WrapModeTileFlipXY, 0, FALSE);
  if (alpha < 1.0f) {
    Gdiplus::ColorMatrix m{};
    for (int i = 0; i < 5; ++i) m.m[i][i] = 1.0f;
    m.m[3][3] = alpha;
    gp::GdipSetImageAttributesColorMatrix(made, Gdiplus::ColorAdjustTypeDefault, TRUE, &m, nullptr,
                                          Gdiplus::ColorMatrixFlagsDefault);
  }
  gp::GdipDrawImageRectRect(g, source, dest.x, dest.y, dest.width, dest.height, s.x, s.y, s.width, s.height,
                            Gdiplus::UnitPixel, made, nullptr, nullptr);
}

void Graphics::init(Surface& target) {
  detail::GpGraphicsPtr g = unitGraphicsOn(target);
  if (!g) return;
  state_.reset(new detail::GraphicsState{g.release()});
  width_ = target.unitWidth();
  height_ = target.unitHeight();
  scale_ = target.scale();
  setSmoothing(kSmoothingAntiAlias);
  setTextRendering(kTextAntiAliasGridFit);
}

bool Graphics::ready() const { return state_ != nullptr; }

void Graphics::setSmoothing(int mode) {
  smoothing_ = mode;
  if (state_) gp::GdipSetSmoothingMode(state_->graphics, static_cast<Gdiplus::SmoothingMode>(mode));
}

void Graphics::setTextRendering(int hint) {
  textHint_ = hint;
  if (state_) gp::GdipSetTextRenderingHint(state_->graphics, static_cast<Gdiplus::TextRenderingHint>(hint));
}

void Graphics::clear(Argb colour) {
  if (ready()) gp::GdipGraphicsClear(state_->graphics, colour);
}

void Graphics::fillRectangle(const Brush& brush, RectF rect) {
  if (!ready() || rect.empty() || !rect.finite()) return;
  detail::GpBrushPtr b = brushOf(brush);
  if (b) gp::GdipFillRectangle(state_->graphics, b.get(), rect.x, rect.y, rect.width, rect.height);
}

void Graphics::fillPath(const Brush& brush, const Path& path) {
  if (!ready() || path.empty()) return;
  detail::GpBrushPtr b = brushOf(brush);
  detail::GpPathPtr p = gpPathOf(path);
  if (b && p) gp::GdipFillPath(state_->graphics, b.get(), p.get());
}

void Graphics::drawLine(const Pen& pen, float x1, float y1, float x2, float y2) {
  if (!ready() || !RectF{x1, y1, x2, y2}.finite() || !std::isfinite(pen.width)) return;
  Path path;
  path.addLine(x1, y1, x2, y2);
  detail::GpPathPtr p = gpPathOf(path, kStrokeOffset, kStrokeOffset);
  if (p) strokePath(state_->graphics, pen, p.get());
}

void Graphics::drawPath(const Pen& pen, const Path& path) {
  if (!ready() || path.empty() || !std::isfinite(pen.width)) return;
  detail::GpPathPtr p = gpPathOf(path, kStrokeOffset, kStrokeOffset);
  if (p) strokePath(state_->graphics, pen, p.get());
}

bool Graphics::setClip(RectF rect, int combine) {
  if (!ready() || !rect.finite()) return false;
  if (combine != kCombineReplace && combine != kCombineIntersect && combine != kCombineExclude) return false;
  return gp::GdipSetClipRect(state_->graphics, rect.x, rect.y, std::max(0.0f, rect.width),
                             std::max(0.0f, rect.height), static_cast<Gdiplus::CombineMode>(combine)) == Gdiplus::Ok;
}

bool Graphics::setClip(const Path& path, int combine) {
  if (!ready()) return false;
  if (combine != kCombineReplace && combine != kCombineIntersect && combine != kCombineExclude) return false;
  detail::GpPathPtr p = gpPathOf(path);
  return p && gp::GdipSetClipPath(state_->graphics, p.get(), static_cast<Gdiplus::CombineMode>(combine)) == Gdiplus::Ok;
}

void Graphics::resetClip() {
  if (state_) gp::GdipResetClip(state_->graphics);
}

RectF Graphics::clipBounds() const {
  if (!ready()) return {};
  Gdiplus::GpRectF r{};
  gp::GdipGetClipBounds(state_->graphics, &r);
  return RectF{r.X, r.Y, r.Width, r.Height};
}

void Graphics::drawSurface(const Surface& surface, RectF dest, RectF src, float alpha) {
  if (!ready() || !surface.valid() || dest.empty() || src.empty() || !dest.finite() || !src.finite() ||
      !(alpha > 0)) {
    return;
  }
  // Keep the source rectangle inside the picture, trimming the destination to match.
  const double sx = static_cast<double>(dest.width) / src.width;
  const double sy = static_cast<double>(dest.height) / src.height;
  if (!std::isfinite(sx * sy)) return;
  const double left = std::max(0.0f, src.x), top = std::max(0.0f, src.y);
  const double right = std::min<double>(surface.unitWidth(), src.right());
  const double bottom = std::min<double>(surface.unitHeight(), src.bottom());
  if (right <= left || bottom <= top) return;
  const double dx = dest.x + (left - src.x) * sx, dy = dest.y + (top - src.y) * sy;
  const double dw = (right - left) * sx, dh = (bottom - top) * sy;
  const double s = surface.scale();
  gp::GdipSetInterpolationMode(state_->graphics, static_cast<Gdiplus::InterpolationMode>(interpolation_));
  drawBitmap(state_->graphics, bitmapOf(surface),
             RectF{float(dx), float(dy), float(dw), float(dh)},
             RectF{float(left * s), float(top * s), float((right - left) * s), float((bottom - top) * s)},
             std::min(1.0f, alpha));
}

void Graphics::drawString(std::u16string_view text, const Font* font, RectF layout, const StringFormat& format,
                          Argb colour) {
  if (!ready() || !font || text.empty() || !layout.finite()) return;
  detail::TextLayout(state_->graphics, text, *font, layout, format).draw(state_->graphics, colour);
}

RectF Graphics::measureString(std::u16string_view text, const Font* font, RectF layout,
                              const StringFormat& format) const {
  if (!ready() || !font || !layout.finite()) return {};
  return detail::TextLayout(state_->graphics, text, *font, layout, format).bounds();
}

std::vector<RectF> Graphics::measureCharacterRanges(std::u16string_view text, const Font* font, RectF layout,
                                                    const StringFormat& format,
                                                    std::span<const std::pair<int, int>> ranges) const {
  std::vector<RectF> result(ranges.size());
  if (!ready() || !font || !layout.finite()) return result;
  detail::TextLayout laidOut(state_->graphics, text, *font, layout, format, true);
  for (std::size_t i = 0; i < ranges.size(); ++i) result[i] = laidOut.rangeBounds(ranges[i].first, ranges[i].second);
  return result;
}

}  // namespace platform::gfx
