#pragma once
// Owning handles for the cairo, Pango and GLib objects the drawing layer creates, and the
// cairo objects behind the drawing classes, for the code that draws with cairo directly.

#include <memory>

#include <cairo.h>
#include <glib-object.h>
#include <pango/pango-font.h>

namespace platform::gfx {

class Font;
class Graphics;
class Surface;

cairo_surface_t* cairoSurfaceOf(const Surface& surface);
// nullptr when the graphics object has no target.
cairo_t* cairoContextOf(const Graphics& graphics);
const PangoFontDescription* pangoDescriptionOf(const Font& font);

namespace detail {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct PatternDeleter {
  void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
};
struct PathDeleter {
  void operator()(cairo_path_t* p) const { cairo_path_destroy(p); }
};
struct GObjectDeleter {
  void operator()(void* o) const { g_object_unref(o); }
};

using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;
using PatternPtr = std::unique_ptr<cairo_pattern_t, PatternDeleter>;
using PathPtr = std::unique_ptr<cairo_path_t, PathDeleter>;
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectDeleter>;

}  // namespace detail
}  // namespace platform::gfx
