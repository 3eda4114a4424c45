#include "assets/generator/PictureScale.h"
#include "assets/generator/SkinArt.h"
#include "assets/generator/SkinCanvas.h"

namespace artwork {

SkinFormat skinFormat(int entry) {
  const int style = entry / kSkinsPerStyle;
  return style == 0 || style == 2 ? SkinFormat::Jpeg : SkinFormat::Png;
}

cairo_surface_t* drawSkinPicture(int entry) {
  if (entry < 0 || entry >= kSkinCount) return nullptr;
  cairo_surface_t* surface = newPicture(CAIRO_FORMAT_ARGB32, kSkinWidth, kSkinHeight);
  cairo_t* cr = cairo_create(surface);
  // Opaque ground first: the host lays the picture over its own colour.
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  skin::useWindowCoordinates(cr);
  const int variant = entry % kSkinsPerStyle;
  switch (entry / kSkinsPerStyle) {
    case 0: drawFashionSkin(cr, variant); break;
    case 1: drawCuteSkin(cr, variant); break;
    case 2: drawLomoSkin(cr, variant); break;
    default: drawPlainSkin(cr, variant); break;
  }
  cairo_destroy(cr);
  return surface;
}

}  // namespace artwork
