// Draws the 24 skin pictures: tunora-skin-art <folder>
// writes skin-00.jpg .. skin-23.png (the extension follows each picture's format), then the
// same at twice the scale as skin-00@2x.jpg ..; they are packed into Skin.rdb in this order
// afterwards, the 1x ones first.

#include <cstdio>
#include <string>

#include "assets/generator/JpegWriter.h"
#include "assets/generator/PictureScale.h"
#include "assets/generator/SkinArt.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  for (int entry = 0; entry < 2 * artwork::kSkinCount; ++entry) {
    const bool twice = entry >= artwork::kSkinCount;
    artwork::setPictureScale(twice ? 2 : 1);
    const int pictureEntry = entry % artwork::kSkinCount;
    const bool jpeg = artwork::skinFormat(pictureEntry) == artwork::SkinFormat::Jpeg;
    char name[32];
    std::snprintf(name, sizeof name, "/skin-%02d%s.%s", pictureEntry, twice ? "@2x" : "", jpeg ? "jpg" : "png");
    const std::string path = folder + name;
    cairo_surface_t* picture = artwork::drawSkinPicture(pictureEntry);
    const bool ok = jpeg ? artwork::writeJpeg(picture, path, 86)
                         : cairo_surface_write_to_png(picture, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(picture);
    if (!ok) {
      std::fprintf(stderr, "tunora-skin-art: could not write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
