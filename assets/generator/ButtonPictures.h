#pragma once
// The buttons of the main window, one look at a time.

#include <cairo.h>

namespace artwork {

enum class ButtonLook { Normal, Hover, Pressed };

// 45 x 45: play (pause = false) or pause on the accent disc.
cairo_surface_t* drawMainPlayButton(bool pause, ButtonLook look);
// 45 x 45: previous or next.
cairo_surface_t* drawSkipButton(bool next, ButtonLook look);
// 22 x 22 speaker.
cairo_surface_t* drawVolumeButton(ButtonLook look);
// 30 x 27 magnifier.
cairo_surface_t* drawSearchButton(ButtonLook look);
// 95 x 35 tab; `caption` is UTF-8.
cairo_surface_t* drawTabButton(const char* caption, bool active);
enum class GroupLook { Closed, ClosedHover, Open };
// 282 x 30 group header with a disclosure arrow; `caption` is UTF-8.
cairo_surface_t* drawGroupHeader(const char* caption, GroupLook look);

}  // namespace artwork
