#include "assets/generator/PictureScale.h"

#include <cmath>

namespace artwork {

namespace {
double scale_ = 1;
}  // namespace

void setPictureScale(double scale) { scale_ = scale; }
double pictureScale() { return scale_; }

cairo_surface_t* newPicture(cairo_format_t format, int width, int height) {
  if (scale_ == 1) return cairo_image_surface_create(format, width, height);
  cairo_surface_t* surface = cairo_image_surface_create(format, static_cast<int>(std::ceil(width * scale_)),
                                                        static_cast<int>(std::ceil(height * scale_)));
  cairo_surface_set_device_scale(surface, scale_, scale_);
  return surface;
}

}  // namespace artwork
