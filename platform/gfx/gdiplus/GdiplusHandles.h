#pragma once
// GDI+ through its flat calls: the session every call needs, and the objects behind the
// drawing classes.

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gfx/Geometry.h"

namespace platform::gfx {

class Font;
class Graphics;
class Path;
class Surface;

namespace gp = Gdiplus::DllExports;

// Starts GDI+ on first use; it is shut down when the program exits.
bool gdiplusReady();

namespace detail {

// Our own premultiplied pixel rows, which the bitmap draws into directly.
struct NativeSurface {
  std::vector<std::uint32_t> pixels;
  int width = 0;
  int height = 0;
  Gdiplus::GpBitmap* bitmap = nullptr;
  ~NativeSurface();
};

struct NativeFont {
  Gdiplus::GpFontFamily* family = nullptr;
  Gdiplus::GpFont* font = nullptr;
  ~NativeFont();
};

struct GraphicsState {
  Gdiplus::GpGraphics* graphics = nullptr;
  ~GraphicsState();
};

struct PathDeleter {
  void operator()(Gdiplus::GpPath* p) const { gp::GdipDeletePath(p); }
};
struct BrushDeleter {
  void operator()(Gdiplus::GpBrush* b) const { gp::GdipDeleteBrush(b); }
};
struct GraphicsDeleter {
  void operator()(Gdiplus::GpGraphics* g) const { gp::GdipDeleteGraphics(g); }
};
struct ImageAttributesDeleter {
  void operator()(Gdiplus::GpImageAttributes* a) const { gp::GdipDisposeImageAttributes(a); }
};
struct StringFormatDeleter {
  void operator()(Gdiplus::GpStringFormat* f) const { gp::GdipDeleteStringFormat(f); }
};
struct ImageDeleter {
  void operator()(Gdiplus::GpImage* i) const { gp::GdipDisposeImage(i); }
};
using GpPathPtr = std::unique_ptr<Gdiplus::GpPath, PathDeleter>;
using GpBrushPtr = std::unique_ptr<Gdiplus::GpBrush, BrushDeleter>;
using GpGraphicsPtr = std::unique_ptr<Gdiplus::GpGraphics, GraphicsDeleter>;
using GpImageAttributesPtr = std::unique_ptr<Gdiplus::GpImageAttributes, ImageAttributesDeleter>;
using GpStringFormatPtr = std::unique_ptr<Gdiplus::GpStringFormat, StringFormatDeleter>;
using GpImagePtr = std::unique_ptr<Gdiplus::GpImage, ImageDeleter>;

}  // namespace detail

Gdiplus::GpBitmap* bitmapOf(const Surface& surface);
Gdiplus::GpGraphics* graphicsOf(const Graphics& graphics);
Gdiplus::GpFont* gpFontOf(const Font& font);
// The figures as a GDI+ path, shifted by (dx, dy); non-finite figure points are left out.
detail::GpPathPtr gpPathOf(const Path& path, float dx = 0, float dy = 0);
// A graphics object drawing in units on a surface at its scale, pixel edges on whole units.
detail::GpGraphicsPtr unitGraphicsOn(const Surface& surface);
// Draws the source rectangle (in source pixels) into dest (in g's units) with a constant
// alpha, edge pixels repeating outward.
void drawBitmap(Gdiplus::GpGraphics* g, Gdiplus::GpBitmap* source, RectF dest, RectF sourcePixels, float alpha);

}  // namespace platform::gfx
