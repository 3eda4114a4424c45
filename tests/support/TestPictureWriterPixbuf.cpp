#include "tests/support/TestPictureWriter.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

namespace testpictures {

bool exactPixels() { return true; }

Bytes writePicture(const std::string& type, int width, int height, const std::vector<std::uint32_t>& argb,
                   bool alpha) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, alpha, 8, width, height);
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  const int channels = alpha ? 4 : 3;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = argb[static_cast<std::size_t>(y) * width + x];
      guchar* p = pixels + y * stride + x * channels;
      p[0] = static_cast<guchar>(c >> 16);
      p[1] = static_cast<guchar>(c >> 8);
      p[2] = static_cast<guchar>(c);
      if (alpha) p[3] = static_cast<guchar>(c >> 24);
    }
  }
  gchar* buffer = nullptr;
  gsize size = 0;
  GError* error = nullptr;
  gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, type.c_str(), &error, nullptr);
  g_clear_error(&error);
  Bytes bytes(buffer, buffer + size);
  g_free(buffer);
  g_object_unref(pixbuf);
  return bytes;
}

}  // namespace testpictures
