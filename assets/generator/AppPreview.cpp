// The main window in three states (first start, a preset playing, search results) put
// together from the generated files, to judge them as a whole: the background laid out as
// the window host does it, each button picture at its control's place, and the sliders,
// edit box and texts drawn plainly.

#include <cmath>

#include "assets/generator/AppArtwork.h"
#include "assets/generator/Artwork.h"
#include "assets/generator/Palette.h"
#include "assets/generator/TextPainter.h"

namespace artwork {

namespace {

constexpr int kWidth = 296;
constexpr int kHeight = 657;

void put(cairo_t* cr, cairo_surface_t* picture, double x, double y) {
  cairo_set_source_surface(cr, picture, x, y);
  cairo_paint(cr);
}

void putScaled(cairo_t* cr, cairo_surface_t* picture, double x, double y, double w, double h) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, w / cairo_image_surface_get_width(picture), h / cairo_image_surface_get_height(picture));
  cairo_set_source_surface(cr, picture, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  cairo_restore(cr);
}

void text(cairo_t* cr, const char* utf8, double x, double y, double w, double h, double alpha = 0.9,
          TextAlign align = TextAlign::Left) {
  cairo_set_source_rgba(cr, 0, 0, 0, alpha);
  drawCaption(cr, utf8, 12, false, x, y, w, h, align);
}

// A slider as the control draws it: track, second bar, value bar and thumb.
void slider(cairo_t* cr, double x, double y, double width, unsigned track, double trackAlpha, double value,
            double second, cairo_surface_t* thumb) {
  const double tx = x + 9, tw = width - 18, ty = y + 2, th = 7;
  palette::roundedRect(cr, tx, ty, tw, th, 3.5);
  palette::source(cr, track, trackAlpha);
  cairo_fill_preserve(cr);
  cairo_set_source_rgba(cr, 0, 0, 0, 70 / 255.0);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  palette::roundedRect(cr, tx, ty, tw * second / 100, th, 3.5);
  cairo_set_source_rgba(cr, 1, 1, 1, 70 / 255.0);
  cairo_fill(cr);
  cairo_pattern_t* bar = cairo_pattern_create_linear(tx, 0, tx + tw, 0);
  cairo_pattern_add_color_stop_rgba(bar, 0, 0, 0x88 / 255.0, 1, 0.9);
  cairo_pattern_add_color_stop_rgba(bar, 1, 0, 0xE0 / 255.0, 0x80 / 255.0, 0.9);
  palette::roundedRect(cr, tx, ty, tw * value / 100, th, 3.5);
  cairo_set_source(cr, bar);
  cairo_fill(cr);
  cairo_pattern_destroy(bar);
  putScaled(cr, thumb, std::round(tx + tw * value / 100 - 6), y, 12, 12);
}

enum class Scene { Start, PresetsPlaying, SearchResults };

// One window in one state, drawn at the origin.
void drawWindow(cairo_t* cr, Scene scene, cairo_surface_t* const (&buttons)[kButtonPictureCount],
                cairo_surface_t* skin, cairo_surface_t* rowPicture, cairo_surface_t* icon) {
  palette::roundedRect(cr, 5, 5, kWidth - 10, kHeight - 10, 7);
  cairo_save(cr);
  cairo_clip(cr);
  putScaled(cr, skin, 5, 5, kWidth - 10, kHeight - 10);
  cairo_restore(cr);

  putScaled(cr, icon, 6, 6, 16, 16);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.88);
  drawCaption(cr, "Tunora音乐，聆听世界", 12, false, 33, 11, 158, 17, TextAlign::Left);
  cairo_surface_t* captions = drawCaptionSprite();
  const struct {
    double x, width, spriteX;
  } places[] = {{249, 39, 0}, {221, 28, 120 + 3 * 29 * 2}, {193, 28, 120 + 3 * 29 * 4}};
  for (const auto& p : places) {
    cairo_save(cr);
    cairo_rectangle(cr, p.x, 6, p.width, 19);
    cairo_clip(cr);
    put(cr, captions, p.x - p.spriteX, 6);
    cairo_restore(cr);
  }
  cairo_surface_destroy(captions);

  cairo_surface_t* thumb = drawSliderThumb(false);
  if (scene == Scene::Start) {
    slider(cr, 10, 100, 270, 0x808080, 225 / 255.0, 0, 0, thumb);
    put(cr, buttons[0], 124, 130);
  } else {
    const bool playing = scene == Scene::PresetsPlaying;
    text(cr, playing ? "晨光里的风\n林夏" : "Neon Harbour\nMira Vale", 18, 69, 250, 27);
    slider(cr, 10, 100, 270, 0x808080, 225 / 255.0, playing ? 34 : 58, playing ? 71 : 100, thumb);
    text(cr, playing ? "01:12" : "02:05", 18, 113, 35, 22);
    text(cr, playing ? "03:31" : "03:36", 240, 113, 35, 22);
    put(cr, buttons[playing ? 27 : 1], 124, 130);
  }
  put(cr, buttons[scene == Scene::Start ? 4 : 3], 79, 130);
  put(cr, buttons[6], 169, 130);
  put(cr, buttons[15], 215, 143);
  slider(cr, 236, 148, 55, 0xFFFFFF, 225 / 255.0, 50, 100, thumb);
  cairo_surface_destroy(thumb);

  // The search box: a dark film and white text, no border.
  cairo_rectangle(cr, 6, 186, 285, 30);
  cairo_set_source_rgba(cr, 0, 0, 0, 30 / 255.0);
  cairo_fill(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 200 / 255.0);
  drawCaption(cr, scene == Scene::SearchResults ? "林夏" : "请输入歌曲/歌手名", 12, false, 9, 186, 240, 30,
              TextAlign::Left);
  put(cr, buttons[scene == Scene::Start ? 25 : 24], 260, 188);

  const bool results = scene == Scene::SearchResults;
  put(cr, buttons[results ? 9 : 10], 6, 216);
  put(cr, buttons[results ? 12 : 11], 101, 216);
  put(cr, buttons[13], 196, 216);

  if (scene == Scene::Start) {
    put(cr, buttons[18], 6, 252);
    put(cr, buttons[22], 6, 282);
  } else if (scene == Scene::PresetsPlaying) {
    put(cr, buttons[20], 6, 252);
    const char* rows[] = {"晨光里的风\n林夏", "Neon Harbour\nMira Vale", "山海之间\n周子墨",
                          "Paper Planes\nThe Linden Set", "夏夜晚风\n苏晚晴", "Silver Lining\nAria Moss"};
    const double rowHeight = 55;
    for (int i = 0; i < 6; ++i) {
      const double y = 283 + i * rowHeight;
      if (i == 0) {
        cairo_rectangle(cr, 8, y, 280, rowHeight);
        cairo_set_source_rgba(cr, 0, 0, 0, 30 / 255.0);
        cairo_fill(cr);
      }
      put(cr, rowPicture, 14, y + 5);
      text(cr, rows[i], 68, y + 5, 200, 45);
    }
  } else {
    const char* rows[][2] = {{"晨光里的风", "林夏"}, {"Neon Harbour", "林夏"},   {"山海之间", "林夏"},
                             {"Quiet Rooms", "林夏"}, {"夏夜晚风", "林夏"},     {"Paper Planes", "林夏"},
                             {"远方的灯塔", "林夏"},  {"Morning Tide", "林夏"}, {"雨后初晴", "林夏"}};
    const double rowHeight = 19;
    for (int i = 0; i < 9; ++i) {
      const double y = 251 + i * rowHeight;
      if (i == 1) {
        cairo_rectangle(cr, 7, y, 283, rowHeight);
        cairo_set_source_rgba(cr, 0, 0, 0, 30 / 255.0);
        cairo_fill(cr);
      }
      text(cr, rows[i][0], 12, y, 165, rowHeight);
      text(cr, rows[i][1], 182, y, 75, rowHeight);
    }
  }
}

}  // namespace

cairo_surface_t* drawAppPreview(cairo_surface_t* const (&buttons)[kButtonPictureCount], cairo_surface_t* skin,
                                cairo_surface_t* rowPicture, cairo_surface_t* icon) {
  constexpr int kGap = 12;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3 * kWidth + 2 * kGap, kHeight);
  cairo_t* cr = cairo_create(surface);
  // A desktop behind the windows' transparent margins.
  cairo_set_source_rgb(cr, 0.36, 0.39, 0.44);
  cairo_paint(cr);
  const Scene scenes[] = {Scene::Start, Scene::PresetsPlaying, Scene::SearchResults};
  for (int i = 0; i < 3; ++i) {
    cairo_save(cr);
    cairo_translate(cr, i * (kWidth + kGap), 0);
    drawWindow(cr, scenes[i], buttons, skin, rowPicture, icon);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  return surface;
}

}  // namespace artwork
