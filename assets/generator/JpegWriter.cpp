#include "assets/generator/JpegWriter.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>
#include <vector>

namespace artwork {

bool writeJpeg(cairo_surface_t* surface, const std::string& path, int quality) {
  cairo_surface_flush(surface);
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  if (data == nullptr || width <= 0 || height <= 0) return false;
  // cairo keeps native-endian 0xAARRGGBB words; the pictures written this way are opaque,
  // so the colour needs no un-premultiplying.
  std::vector<guchar> rgb(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < width; ++x) {
      guchar* out = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
      out[0] = static_cast<guchar>(row[x] >> 16);
      out[1] = static_cast<guchar>(row[x] >> 8);
      out[2] = static_cast<guchar>(row[x]);
    }
  }
  GdkPixbuf* pixbuf =
      gdk_pixbuf_new_from_data(rgb.data(), GDK_COLORSPACE_RGB, FALSE, 8, width, height, width * 3, nullptr, nullptr);
  if (pixbuf == nullptr) return false;
  const std::string q = std::to_string(quality);
  GError* error = nullptr;
  const gboolean ok = gdk_pixbuf_save(pixbuf, path.c_str(), "jpeg", &error, "quality", q.c_str(), nullptr);
  if (error != nullptr) g_error_free(error);
  g_object_unref(pixbuf);
  return ok == TRUE;
}

}  // namespace artwork
