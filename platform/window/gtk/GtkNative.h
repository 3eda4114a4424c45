#pragma once
// One GTK window of the back end and what belongs to it; only the back end's files use it.

#include <gtk/gtk.h>

#include <set>
#include <string>

#include "platform/window/ShownImage.h"
#include "platform/window/gtk/GtkBackend.h"

namespace platform::window {

inline GdkSeat* defaultSeat() { return gdk_display_get_default_seat(gdk_display_get_default()); }

struct GtkBackend::Native {
  GtkBackend* owner = nullptr;
  HWND hwnd = nullptr;
  GtkWidget* window = nullptr;
  GtkWidget* area = nullptr;
  GtkIMContext* im = nullptr;
  ShownImage image;
  bool preedit = false;
  std::string commitBuffer;
  bool inKeyFilter = false;
  bool grabbed = false;
  event::Placement placement = event::Placement::Normal;
  RECT lastRect{};
  int cursorId = 0;
  std::set<unsigned> keysDown;  // hardware keycodes, to tell auto-repeat from a new press

  ~Native() {
    if (im != nullptr) g_object_unref(im);
  }
};

}  // namespace platform::window
