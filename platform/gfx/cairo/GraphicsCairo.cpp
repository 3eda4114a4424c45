#include "platform/gfx/Graphics.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/cairo/CairoHandles.h"
#include "platform/gfx/cairo/PathCairo.h"
#include "platform/gfx/cairo/TextLayout.h"

namespace platform::gfx {

struct detail::GraphicsState {
  SurfacePtr target;  // an errored context no longer reports its target
  ContextPtr cr;
  // The figures whose intersection is the clip, in the order they were applied.
  struct ClipFigure {
    PathPtr path;
    cairo_fill_rule_t rule;
  };
  std::vector<ClipFigure> clip;
};

void detail::GraphicsStateDeleter::operator()(GraphicsState* s) const { delete s; }

cairo_t* cairoContextOf(const Graphics& graphics) {
  return graphics.state() != nullptr ? graphics.state()->cr.get() : nullptr;
}

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

void setSource(cairo_t* cr, const Brush& brush) {
  if (!brush.isGradient()) {
    setColour(cr, brush.colour());
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
  cairo_set_source(cr, pattern.get());
}

void stroke(cairo_t* cr, const Pen& pen) {
  setColour(cr, pen.colour);
  cairo_set_line_width(cr, std::isfinite(pen.width) ? std::max(pen.width, 0.01f) : 1.0);
  cairo_stroke(cr);
}

void replayClip(detail::GraphicsState& state) {
  cairo_t* cr = state.cr.get();
  const cairo_fill_rule_t previous = cairo_get_fill_rule(cr);
  for (const detail::GraphicsState::ClipFigure& figure : state.clip) {
    cairo_new_path(cr);
    cairo_append_path(cr, figure.path.get());
    cairo_set_fill_rule(cr, figure.rule);
    cairo_clip(cr);
  }
  cairo_set_fill_rule(cr, previous);
}

bool clipCurrentPath(detail::GraphicsState& state, int combine, int fillMode) {
  cairo_t* cr = state.cr.get();
  if (combine == kCombineReplace) {
    // Keep the new path while dropping the old clip.
    cairo_path_t* figure = cairo_copy_path(cr);
    cairo_reset_clip(cr);
    state.clip.clear();
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
  state.clip.push_back({detail::PathPtr(cairo_copy_path(cr)), rule});
  const cairo_fill_rule_t previous = cairo_get_fill_rule(cr);
  cairo_set_fill_rule(cr, rule);
  cairo_clip(cr);
  cairo_set_fill_rule(cr, previous);
  return true;
}

}  // namespace

void Graphics::init(Surface& target) {
  cairo_surface_t* surface = cairoSurfaceOf(target);
  state_.reset(new detail::GraphicsState{detail::SurfacePtr(cairo_surface_reference(surface)),
                                         detail::ContextPtr(cairo_create(surface)), {}});
  width_ = target.unitWidth();
  height_ = target.unitHeight();
  scale_ = target.scale();
  setSmoothing(kSmoothingAntiAlias);
  setTextRendering(kTextAntiAliasGridFit);
}

bool Graphics::ready() const {
  if (!state_) return false;
  if (cairo_status(state_->cr.get()) != CAIRO_STATUS_SUCCESS) {
    auto* self = const_cast<Graphics*>(this);
    state_->cr.reset(cairo_create(state_->target.get()));
    self->setSmoothing(smoothing_);
    self->setTextRendering(textHint_);
    replayClip(*state_);
  }
  return cairo_status(state_->cr.get()) == CAIRO_STATUS_SUCCESS;
}

void Graphics::setSmoothing(int mode) {
  smoothing_ = mode;
  if (!state_) return;
  cairo_set_antialias(state_->cr.get(), mode == kSmoothingAntiAlias || mode == 2 || mode == 5 ? CAIRO_ANTIALIAS_DEFAULT
                                                                          : CAIRO_ANTIALIAS_NONE);
}

void Graphics::setTextRendering(int hint) {
  textHint_ = hint;
  if (!state_) return;
  cairo_font_options_t* options = cairo_font_options_create();
  const bool bilevel = hint == kTextSingleBitPerPixel || hint == kTextSingleBitPerPixelGridFit;
  const bool gridFit = hint != kTextAntiAlias && hint != kTextSingleBitPerPixel;
  cairo_font_options_set_antialias(options, bilevel ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, gridFit ? CAIRO_HINT_STYLE_SLIGHT : CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, gridFit ? CAIRO_HINT_METRICS_ON : CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(state_->cr.get(), options);
  cairo_font_options_destroy(options);
}

void Graphics::clear(Argb colour) {
  if (!ready()) return;
  cairo_save(state_->cr.get());
  cairo_set_operator(state_->cr.get(), CAIRO_OPERATOR_SOURCE);
  setColour(state_->cr.get(), colour);
  cairo_paint(state_->cr.get());
  cairo_restore(state_->cr.get());
}

void Graphics::fillRectangle(const Brush& brush, RectF rect) {
  if (!ready() || rect.empty() || !rect.finite()) return;
  cairo_save(state_->cr.get());
  cairo_new_path(state_->cr.get());
  cairo_rectangle(state_->cr.get(), rect.x, rect.y, rect.width, rect.height);
  setSource(state_->cr.get(), brush);
  cairo_fill(state_->cr.get());
  cairo_restore(state_->cr.get());
}

void Graphics::fillPath(const Brush& brush, const Path& path) {
  if (!ready() || path.empty()) return;
  cairo_save(state_->cr.get());
  cairo_new_path(state_->cr.get());
  appendPath(state_->cr.get(), path);
  cairo_set_fill_rule(state_->cr.get(), path.fillMode() == kFillWinding ? CAIRO_FILL_RULE_WINDING
                                                                 : CAIRO_FILL_RULE_EVEN_ODD);
  setSource(state_->cr.get(), brush);
  cairo_fill(state_->cr.get());
  cairo_restore(state_->cr.get());
}

void Graphics::drawLine(const Pen& pen, float x1, float y1, float x2, float y2) {
  if (!ready() || !RectF{x1, y1, x2, y2}.finite() || !std::isfinite(pen.width)) return;
  cairo_save(state_->cr.get());
  cairo_new_path(state_->cr.get());
  cairo_move_to(state_->cr.get(), x1 + kStrokeOffset, y1 + kStrokeOffset);
  cairo_line_to(state_->cr.get(), x2 + kStrokeOffset, y2 + kStrokeOffset);
  stroke(state_->cr.get(), pen);
  cairo_restore(state_->cr.get());
}

void Graphics::drawPath(const Pen& pen, const Path& path) {
  if (!ready() || path.empty()) return;
  cairo_save(state_->cr.get());
  cairo_new_path(state_->cr.get());
  appendPath(state_->cr.get(), path, kStrokeOffset, kStrokeOffset);
  stroke(state_->cr.get(), pen);
  cairo_restore(state_->cr.get());
}

bool Graphics::setClip(RectF rect, int combine) {
  if (!ready() || !rect.finite()) return false;
  cairo_new_path(state_->cr.get());
  cairo_rectangle(state_->cr.get(), rect.x, rect.y, std::max(0.0f, rect.width), std::max(0.0f, rect.height));
  return clipCurrentPath(*state_, combine, kFillAlternate);
}

bool Graphics::setClip(const Path& path, int combine) {
  if (!ready()) return false;
  cairo_new_path(state_->cr.get());
  appendPath(state_->cr.get(), path);
  return clipCurrentPath(*state_, combine, path.fillMode());
}

void Graphics::resetClip() {
  if (!state_) return;
  state_->clip.clear();
  cairo_reset_clip(state_->cr.get());
}

RectF Graphics::clipBounds() const {
  if (!ready()) return {};
  double x1, y1, x2, y2;
  cairo_clip_extents(state_->cr.get(), &x1, &y1, &x2, &y2);
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

  detail::SurfacePtr part(cairo_surface_create_for_rectangle(cairoSurfaceOf(surface), left, top,
                                                             right - left, bottom - top));
  cairo_t* cr = state_->cr.get();
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

void Graphics::drawString(std::u16string_view text, const Font* font, RectF layout,
                          const StringFormat& format, Argb colour) {
  if (!ready() || !font || text.empty() || !layout.finite()) return;
  detail::TextLayout laidOut(state_->cr.get(), text, *font, layout, format);
  laidOut.draw(state_->cr.get(), colour);
}

RectF Graphics::measureString(std::u16string_view text, const Font* font, RectF layout,
                              const StringFormat& format) const {
  if (!ready() || !font || !layout.finite()) return {};
  return detail::TextLayout(state_->cr.get(), text, *font, layout, format).bounds();
}

std::vector<RectF> Graphics::measureCharacterRanges(std::u16string_view text, const Font* font,
                                                    RectF layout, const StringFormat& format,
                                                    std::span<const std::pair<int, int>> ranges) const {
  std::vector<RectF> result(ranges.size());
  if (!ready() || !font || !layout.finite()) return result;
  detail::TextLayout laidOut(state_->cr.get(), text, *font, layout, format, true);
  for (std::size_t i = 0; i < ranges.size(); ++i) result[i] = laidOut.rangeBounds(ranges[i].first, ranges[i].second);
  return result;
}

}  // namespace platform::gfx
