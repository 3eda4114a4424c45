#pragma once
// Owning handles for the cairo, Pango and GLib objects the drawing layer creates.

#include <memory>

#include <cairo.h>
#include <glib-object.h>

namespace platform::gfx::detail {

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

}  // namespace platform::gfx::detail
