// Draws the client's own files and writes them:
//   tunora-app-artwork <button folder> <resource folder> <icon folder> <preview file>
// The button folder receives button-00.png .. button-29.png and the same drawn at twice the
// scale as button-00@2x.png .. (packed afterwards, 1x first); the resource folder skin.png,
// rilu.jpg and their @2x siblings; the icon folder tunora-<size>.png.

#include <cstdio>
#include <string>

#include "assets/generator/AppArtwork.h"
#include "assets/generator/JpegWriter.h"
#include "assets/generator/PictureScale.h"

namespace {

constexpr int kIconSizes[] = {16, 32, 48, 64, 96, 128, 256};

bool writePng(cairo_surface_t* surface, const std::string& path) {
  if (surface == nullptr || cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "tunora-app-artwork: could not write %s\n", path.c_str());
    return false;
  }
  return true;
}

struct Surfaces {
  cairo_surface_t* buttons[artwork::kButtonPictureCount] = {};
  cairo_surface_t* skin = nullptr;
  cairo_surface_t* row = nullptr;
  cairo_surface_t* icon16 = nullptr;
  ~Surfaces() {
    for (cairo_surface_t* s : buttons) cairo_surface_destroy(s);
    cairo_surface_destroy(skin);
    cairo_surface_destroy(row);
    cairo_surface_destroy(icon16);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s <button folder> <resource folder> <icon folder> <preview file>\n", argv[0]);
    return 2;
  }
  const std::string buttonFolder = argv[1], resourceFolder = argv[2], iconFolder = argv[3], preview = argv[4];
  Surfaces s;
  for (int i = 0; i < artwork::kButtonPictureCount; ++i) {
    s.buttons[i] = artwork::drawButtonPicture(i);
    char name[32];
    std::snprintf(name, sizeof name, "/button-%02d.png", i);
    if (!writePng(s.buttons[i], buttonFolder + name)) return 1;
  }
  s.skin = artwork::drawMainSkin();
  if (!writePng(s.skin, resourceFolder + "/skin.png")) return 1;
  s.row = artwork::drawPresetRowPicture();
  if (!artwork::writeJpeg(s.row, resourceFolder + "/rilu.jpg", 92)) {
    std::fprintf(stderr, "tunora-app-artwork: could not write %s/rilu.jpg\n", resourceFolder.c_str());
    return 1;
  }
  // The 2x set, from the same drawing code.
  artwork::setPictureScale(2);
  for (int i = 0; i < artwork::kButtonPictureCount; ++i) {
    cairo_surface_t* button = artwork::drawButtonPicture(i);
    char name[32];
    std::snprintf(name, sizeof name, "/button-%02d@2x.png", i);
    const bool ok = writePng(button, buttonFolder + name);
    cairo_surface_destroy(button);
    if (!ok) return 1;
  }
  cairo_surface_t* skin2x = artwork::drawMainSkin();
  const bool skinOk = writePng(skin2x, resourceFolder + "/skin@2x.png");
  cairo_surface_destroy(skin2x);
  cairo_surface_t* row2x = artwork::drawPresetRowPicture();
  const bool rowOk = artwork::writeJpeg(row2x, resourceFolder + "/rilu@2x.jpg", 92);
  cairo_surface_destroy(row2x);
  if (!skinOk || !rowOk) {
    std::fprintf(stderr, "tunora-app-artwork: could not write the 2x pictures in %s\n", resourceFolder.c_str());
    return 1;
  }
  artwork::setPictureScale(1);

  for (int size : kIconSizes) {
    cairo_surface_t* icon = artwork::drawProgramIcon(size);
    const bool ok = writePng(icon, iconFolder + "/tunora-" + std::to_string(size) + ".png");
    if (size == 16) s.icon16 = icon;
    else cairo_surface_destroy(icon);
    if (!ok) return 1;
  }
  cairo_surface_t* composed = artwork::drawAppPreview(s.buttons, s.skin, s.row, s.icon16);
  const bool ok = writePng(composed, preview);
  cairo_surface_destroy(composed);
  return ok ? 0 : 1;
}
