#include "platform/gfx/Graphics.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/TextLayout.h"

namespace platform::gfx {

namespace {

void setColour(cairo_t* cr, Argb c) {
  cairo_set_source_rgba(cr, redOf(c) / 255.0, greenOf(c) / 255.0, blueOf(c) / 255.0, alphaOf(c) / 255.0);
}

void addColourStop(cairo_pattern_t* p, double offset, Argb c) {
  cairo_pattern_add_color_stop_rgba(p, offset, redOf(c) / 255.0, greenOf(c) / 255.0, blueOf(c) / 255.0,
                                    alphaOf(c) / 255.0);
}

cairo_filter_t filterFor(int mode) {
  switch (mode) {
    case kInterpolationNearestNeighbor: return CAIRO_FILTER_NEAREST;
    case kInterpolationLowQuality: return CAIRO_FILTER_FAST;
    case kInterpolationHighQuality:
    case kInterpolationBicubic:
    case kInterpolationHighQualityBilinear:
    case kInterpolationHighQualityBicubic: return CAIRO_FILTER_GOOD;
    default: return CAIRO_FILTER_BILINEAR;
  }
}

// Strokes are offset by half a pixel so that integer coordinates land on pixel centres.
constexpr double kStrokeOffset = 0.5;

}  // namespace

Graphics::Graphics(Surface& target) {
  if (target.valid()) init(target.cairoSurface(), target.unitWidth(), target.unitHeight(), target.scale());
}

Graphics::Graphics(Image& target) {
  if (target.frameCount() > 0) {
    Surface& s = target.surface();
    init(s.cairoSurface(), s.unitWidth(), s.unitHeight(), s.scale());
  }
}

void Graphics::init(cairo_surface_t* target, int width, int height, double scale) {
  target_.reset(cairo_surface_reference(target));
  cr_.reset(cairo_create(target));
  width_ = width;
  height_ = height;
  scale_ = scale;
  setSmoothing(kSmoothingAntiAlias);
  setTextRendering(kTextAntiAliasGridFit);
}

bool Graphics::ready() const {
  if (!cr_) return false;
  if (cairo_status(cr_.get()) != CAIRO_STATUS_SUCCESS) {
    auto* self = const_cast<Graphics*>(this);
    self->cr_.reset(cairo_create(target_.get()));
    self->setSmoothing(smoothing_);
    self->setTextRendering(textHint_);
    self->replayClip();
  }
  return cairo_status(cr_.get()) == CAIRO_STATUS_SUCCESS;
}

void Graphics::setSmoothing(int mode) {
  smoothing_ = mode;
  if (!cr_) return;
  cairo_set_antialias(cr_.get(), mode == kSmoothingAntiAlias || mode == 2 || mode == 5 ? CAIRO_ANTIALIAS_DEFAULT
                                                                          : CAIRO_ANTIALIAS_NONE);
}

void Graphics::setTextRendering(int hint) {
  textHint_ = hint;
  if (!cr_) return;
  cairo_font_options_t* options = cairo_font_options_create();
  const bool bilevel = hint == kTextSingleBitPerPixel || hint == kTextSingleBitPerPixelGridFit;
  const bool gridFit = hint != kTextAntiAlias && hint != kTextSingleBitPerPixel;
  cairo_font_options_set_antialias(options, bilevel ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, gridFit ? CAIRO_HINT_STYLE_SLIGHT : CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, gridFit ? CAIRO_HINT_METRICS_ON : CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr_.get(), options);
  cairo_font_options_destroy(options);
}

void Graphics::setSource(const Brush& brush) {
  if (!brush.isGradient()) {
    setColour(cr_.get(), brush.colour());
    return;
  }
  const RectF r = brush.rect();
  double x0 = r.x, y0 = r.y, x1 = r.right(), y1 = r.y;
  switch (brush.mode()) {
    case kGradientVertical: x1 = r.x, y1 = r.bottom(); break;
    case kGradientForwardDiagonal: y1 = r.bottom(); break;
    case kGradientBackwardDiagonal: x0 = r.right(), x1 = r.x, y1 = r.bottom(); break;
    default: break;
  }
  detail::PatternPtr pattern(cairo_pattern_create_linear(x0, y0, x1, y1));
  addColourStop(pattern.get(), 0, brush.from());
  addColourStop(pattern.get(), 1, brush.to());
  cairo_pattern_set_extend(pattern.get(), brush.wrap() == kWrapClamp  ? CAIRO_EXTEND_PAD
                                          : brush.wrap() == kWrapTile ? CAIRO_EXTEND_REPEAT
                                                                      : CAIRO_EXTEND_REFLECT);
  cairo_set_source(cr_.get(), pattern.get());
}

void Graphics::clear(Argb colour) {
  if (!ready()) return;
  cairo_save(cr_.get());
  cairo_set_operator(cr_.get(), CAIRO_OPERATOR_SOURCE);
  setColour(cr_.get(), colour);
  cairo_paint(cr_.get());
  cairo_restore(cr_.get());
}

void Graphics::fillRectangle(const Brush& brush, RectF rect) {
  if (!ready() || rect.empty() || !rect.finite()) return;
  cairo_save(cr_.get());
  cairo_new_path(cr_.get());
  cairo_rectangle(cr_.get(), rect.x, rect.y, rect.width, rect.height);
  setSource(brush);
  cairo_fill(cr_.get());
  cairo_restore(cr_.get());
}

void Graphics::fillPath(const Brush& brush, const Path& path) {
  if (!ready() || path.empty()) return;
  cairo_save(cr_.get());
  cairo_new_path(cr_.get());
  path.appendTo(cr_.get());
  cairo_set_fill_rule(cr_.get(), path.fillMode() == kFillWinding ? CAIRO_FILL_RULE_WINDING
                                                                 : CAIRO_FILL_RULE_EVEN_ODD);
  setSource(brush);
  cairo_fill(cr_.get());
  cairo_restore(cr_.get());
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

void Graphics::stroke(const Pen& pen) {
  setColour(cr_.get(), pen.colour);
  cairo_set_line_width(cr_.get(), std::isfinite(pen.width) ? std::max(pen.width, 0.01f) : 1.0);
  cairo_stroke(cr_.get());
}

void Graphics::drawLine(const Pen& pen, float x1, float y1, float x2, float y2) {
  if (!ready() || !RectF{x1, y1, x2, y2}.finite() || !std::isfinite(pen.width)) return;
  cairo_save(cr_.get());
  cairo_new_path(cr_.get());
  cairo_move_to(cr_.get(), x1 + kStrokeOffset, y1 + kStrokeOffset);
  cairo_line_to(cr_.get(), x2 + kStrokeOffset, y2 + kStrokeOffset);
  stroke(pen);
  cairo_restore(cr_.get());
}

void Graphics::drawRectangle(const Pen& pen, RectF rect) {
  Path path;
  path.addRectangle(rect);
  drawPath(pen, path);
}

void Graphics::drawPath(const Pen& pen, const Path& path) {
  if (!ready() || path.empty()) return;
  cairo_save(cr_.get());
  cairo_new_path(cr_.get());
  path.appendTo(cr_.get(), kStrokeOffset, kStrokeOffset);
  stroke(pen);
  cairo_restore(cr_.get());
}

void Graphics::drawPolygon(const Pen& pen, std::span<const PointF> points) {
  Path path;
  path.addPolygon(points);
  drawPath(pen, path);
}

void Graphics::replayClip() {
  cairo_t* cr = cr_.get();
  const cairo_fill_rule_t previous = cairo_get_fill_rule(cr);
  for (const ClipFigure& figure : clip_) {
    cairo_new_path(cr);
    cairo_append_path(cr, figure.path.get());
    cairo_set_fill_rule(cr, figure.rule);
    cairo_clip(cr);
  }
  cairo_set_fill_rule(cr, previous);
}

bool Graphics::clipCurrentPath(int combine, int fillMode) {
  cairo_t* cr = cr_.get();
  if (combine == kCombineReplace) {
    // Keep the new path while dropping the old clip.
    cairo_path_t* figure = cairo_copy_path(cr);
    cairo_reset_clip(cr);
    clip_.clear();
    cairo_new_path(cr);
    cairo_append_path(cr, figure);
    cairo_path_destroy(figure);
  } else if (combine == kCombineExclude) {
    cairo_rectangle(cr, -1e6, -1e6, 2e6, 2e6);
    fillMode = kFillAlternate;
  } else if (combine != kCombineIntersect) {
    cairo_new_path(cr);
    return false;
  }
  const cairo_fill_rule_t rule = fillMode == kFillWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD;
  clip_.push_back({detail::PathPtr(cairo_copy_path(cr)), rule});
  const cairo_fill_rule_t previous = cairo_get_fill_rule(cr);
  cairo_set_fill_rule(cr, rule);
  cairo_clip(cr);
  cairo_set_fill_rule(cr, previous);
  return true;
}

bool Graphics::setClip(RectF rect, int combine) {
  if (!ready() || !rect.finite()) return false;
  cairo_new_path(cr_.get());
  cairo_rectangle(cr_.get(), rect.x, rect.y, std::max(0.0f, rect.width), std::max(0.0f, rect.height));
  return clipCurrentPath(combine, kFillAlternate);
}

bool Graphics::setClip(const Path& path, int combine) {
  if (!ready()) return false;
  cairo_new_path(cr_.get());
  path.appendTo(cr_.get());
  return clipCurrentPath(combine, path.fillMode());
}

void Graphics::resetClip() {
  clip_.clear();
  if (cr_) cairo_reset_clip(cr_.get());
}

RectF Graphics::clipBounds() const {
  if (!ready()) return {};
  double x1, y1, x2, y2;
  cairo_clip_extents(cr_.get(), &x1, &y1, &x2, &y2);
  return RectF{static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2 - x1),
               static_cast<float>(y2 - y1)};
}

void Graphics::drawSurface(const Surface& surface, RectF dest, RectF src, float alpha) {
  if (!ready() || !surface.valid() || dest.empty() || src.empty() || !dest.finite() || !src.finite() ||
      !(alpha > 0)) {
    return;
  }
  // Keep the source rectangle inside the picture, trimming the destination to match.
  // In double: a float quotient can overflow to infinity, which breaks the context.
  const double sx = static_cast<double>(dest.width) / src.width;
  const double sy = static_cast<double>(dest.height) / src.height;
  if (!std::isfinite(sx * sy)) return;
  const double left = std::max(0.0f, src.x), top = std::max(0.0f, src.y);
  const double right = std::min<double>(surface.unitWidth(), src.right());
  const double bottom = std::min<double>(surface.unitHeight(), src.bottom());
  if (right <= left || bottom <= top) return;
  const double dx = dest.x + (left - src.x) * sx, dy = dest.y + (top - src.y) * sy;
  const double dw = (right - left) * sx, dh = (bottom - top) * sy;

  detail::SurfacePtr part(cairo_surface_create_for_rectangle(surface.cairoSurface(), left, top,
                                                             right - left, bottom - top));
  cairo_t* cr = cr_.get();
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_rectangle(cr, dx, dy, dw, dh);
  cairo_clip(cr);
  cairo_translate(cr, dx, dy);
  cairo_scale(cr, sx, sy);
  cairo_set_source_surface(cr, part.get(), 0, 0);
  cairo_pattern_t* pattern = cairo_get_source(cr);
  // Edge pixels repeat outward instead of fading into transparency when stretched.
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(pattern, filterFor(interpolation_));
  cairo_paint_with_alpha(cr, std::min(1.0f, alpha));
  cairo_restore(cr);
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

void Graphics::drawString(std::u16string_view text, const Font* font, RectF layout,
                          const StringFormat& format, Argb colour) {
  if (!ready() || !font || text.empty() || !layout.finite()) return;
  detail::TextLayout laidOut(cr_.get(), text, *font, layout, format);
  laidOut.draw(cr_.get(), colour);
}

RectF Graphics::measureString(std::u16string_view text, const Font* font, RectF layout,
                              const StringFormat& format) const {
  if (!ready() || !font || !layout.finite()) return {};
  return detail::TextLayout(cr_.get(), text, *font, layout, format).bounds();
}

std::vector<RectF> Graphics::measureCharacterRanges(std::u16string_view text, const Font* font,
                                                    RectF layout, const StringFormat& format,
                                                    std::span<const std::pair<int, int>> ranges) const {
  std::vector<RectF> result(ranges.size());
  if (!ready() || !font || !layout.finite()) return result;
  detail::TextLayout laidOut(cr_.get(), text, *font, layout, format, true);
  for (std::size_t i = 0; i < ranges.size(); ++i) result[i] = laidOut.rangeBounds(ranges[i].first, ranges[i].second);
  return result;
}

RectF Graphics::measureDetached(std::u16string_view text, const Font* font, RectF layout,
                                const StringFormat& format) {
  Surface scratch = Surface::create(1, 1);
  Graphics g(scratch);
  return g.measureString(text, font, layout, format);
}

}  // namespace platform::gfx
