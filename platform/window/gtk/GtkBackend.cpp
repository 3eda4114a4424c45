#include "platform/window/gtk/GtkBackend.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/window/WindowApi.h"
#include "platform/gfx/cairo/CairoHandles.h"
#include "platform/window/WindowConstants.h"
#include "platform/window/gtk/GtkNative.h"
#include "platform/window/gtk/GtkSignals.h"

namespace platform::window {

namespace {



const char* cursorName(int id) {
  switch (id) {
    case IDC_IBEAM: return "text";
    case IDC_HAND: return "pointer";
    case IDC_WAIT: return "wait";
    case IDC_CROSS: return "crosshair";
    case IDC_SIZENWSE: return "nwse-resize";
    case IDC_SIZENESW: return "nesw-resize";
    case IDC_SIZEWE: return "ew-resize";
    case IDC_SIZENS: return "ns-resize";
    case IDC_SIZEALL: return "move";
    case IDC_NO: return "not-allowed";
    default: return "default";
  }
}

gboolean timeoutFired(gpointer flag) {
  *static_cast<bool*>(flag) = true;
  return G_SOURCE_REMOVE;
}

GdkWindowEdge edgeOf(int wmsz) {
  switch (wmsz) {
    case WMSZ_LEFT: return GDK_WINDOW_EDGE_WEST;
    case WMSZ_RIGHT: return GDK_WINDOW_EDGE_EAST;
    case WMSZ_TOP: return GDK_WINDOW_EDGE_NORTH;
    case WMSZ_TOPLEFT: return GDK_WINDOW_EDGE_NORTH_WEST;
    case WMSZ_TOPRIGHT: return GDK_WINDOW_EDGE_NORTH_EAST;
    case WMSZ_BOTTOM: return GDK_WINDOW_EDGE_SOUTH;
    case WMSZ_BOTTOMLEFT: return GDK_WINDOW_EDGE_SOUTH_WEST;
    default: return GDK_WINDOW_EDGE_SOUTH_EAST;
  }
}


}  // namespace


bool GtkBackend::open() {
  static const bool opened = [] {
    gdk_set_allowed_backends("x11");
    // Nothing of ours draws with OpenGL, yet GDK would load it at start: under a software
    // renderer that alone holds some 50 MB. A value the user set wins.
    setenv("GDK_GL", "disable", 0);
    return gtk_init_check(nullptr, nullptr) != FALSE;
  }();
  return opened;
}

GtkBackend::GtkBackend() { open(); }

GtkBackend::~GtkBackend() {
  if (sizeMoveSource_ != 0) g_source_remove(sizeMoveSource_);
  if (lastButtonEvent_ != nullptr) gdk_event_free(static_cast<GdkEvent*>(lastButtonEvent_));
  for (auto& [h, n] : windows_) {
    if (n->grabbed) gdk_seat_ungrab(defaultSeat());
    gtk_widget_destroy(n->window);
  }
  windows_.clear();
}

GtkBackend::Native* GtkBackend::find(HWND hwnd) {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : it->second.get();
}

void GtkBackend::queue(BackendEvent e) {
  if (sink_ != nullptr) sink_->queueEvent(std::move(e));
}

void GtkBackend::createWindow(HWND hwnd, const NativeWindowSpec& spec) {
  auto n = std::make_unique<Native>();
  n->owner = this;
  n->hwnd = hwnd;
  n->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* win = GTK_WINDOW(n->window);
  gtk_window_set_decorated(win, FALSE);
  gtk_widget_set_app_paintable(n->window, TRUE);
  if (GdkVisual* rgba = gdk_screen_get_rgba_visual(gtk_widget_get_screen(n->window))) {
    gtk_widget_set_visual(n->window, rgba);
  }
  gtk_window_set_title(win, spec.titleUtf8.c_str());
  gtk_window_set_default_size(win, std::max(spec.screenRect.width(), 1), std::max(spec.screenRect.height(), 1));
  gtk_window_move(win, spec.screenRect.left, spec.screenRect.top);
  if (spec.exStyle & WS_EX_TOOLWINDOW) {
    gtk_window_set_type_hint(win, GDK_WINDOW_TYPE_HINT_TOOLTIP);
    gtk_window_set_skip_taskbar_hint(win, TRUE);
    gtk_window_set_accept_focus(win, FALSE);
  }
  if (spec.owner != nullptr) {
    if (Native* o = find(spec.owner)) gtk_window_set_transient_for(win, GTK_WINDOW(o->window));
  }

  n->area = gtk_drawing_area_new();
  gtk_widget_set_can_focus(n->area, TRUE);
  gtk_widget_add_events(n->area, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK |
                                     GDK_BUTTON_RELEASE_MASK | GDK_SCROLL_MASK |
                                     GDK_LEAVE_NOTIFY_MASK | GDK_ENTER_NOTIFY_MASK |
                                     GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK);
  gtk_container_add(GTK_CONTAINER(n->window), n->area);
  n->im = gtk_im_multicontext_new();

  connectSignals(n.get());
  gtk_widget_show(n->area);
  gtk_widget_grab_focus(n->area);
  n->lastRect = spec.screenRect;
  windows_.emplace(hwnd, std::move(n));
}

void GtkBackend::destroyWindow(HWND hwnd) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return;
  Native* n = it->second.get();
  if (n->grabbed) gdk_seat_ungrab(defaultSeat());
  g_signal_handlers_disconnect_by_data(n->window, n);
  g_signal_handlers_disconnect_by_data(n->area, n);
  g_signal_handlers_disconnect_by_data(n->im, n);
  gtk_im_context_set_client_window(n->im, nullptr);
  gtk_widget_destroy(n->window);
  sizeMoves_.erase(hwnd);
  windows_.erase(it);
}

void GtkBackend::setTitle(HWND hwnd, const std::string& utf8) {
  if (Native* n = find(hwnd)) gtk_window_set_title(GTK_WINDOW(n->window), utf8.c_str());
}

void GtkBackend::show(HWND hwnd, NativeShow how) {
  Native* n = find(hwnd);
  if (n == nullptr) return;
  GtkWindow* win = GTK_WINDOW(n->window);
  switch (how) {
    case NativeShow::Hide:
      gtk_widget_hide(n->window);
      return;
    case NativeShow::Normal:
      gtk_window_set_focus_on_map(win, TRUE);
      gtk_widget_show(n->window);
      return;
    case NativeShow::NormalNoActivate:
      gtk_window_set_focus_on_map(win, FALSE);
      gtk_widget_show(n->window);
      return;
    case NativeShow::Maximized:
      gtk_window_maximize(win);
      gtk_widget_show(n->window);
      return;
    case NativeShow::Minimized:
      gtk_window_iconify(win);
      return;
    case NativeShow::Restore:
      gtk_window_deiconify(win);
      gtk_window_unmaximize(win);
      gtk_widget_show(n->window);
      return;
  }
}

void GtkBackend::setScreenRect(HWND hwnd, const RECT& rect) {
  Native* n = find(hwnd);
  if (n == nullptr) return;
  n->lastRect = rect;
  gtk_window_move(GTK_WINDOW(n->window), rect.left, rect.top);
  gtk_window_resize(GTK_WINDOW(n->window), std::max(rect.width(), 1), std::max(rect.height(), 1));
}

void GtkBackend::setRegion(HWND hwnd, const std::optional<Region>& region) {
  Native* n = find(hwnd);
  if (n == nullptr) return;
  if (!region) {
    gtk_widget_shape_combine_region(n->window, nullptr);
    gtk_widget_input_shape_combine_region(n->window, nullptr);
    return;
  }
  cairo_region_t* shape = cairo_region_create();
  for (const RECT& r : region->rectangles()) {
    const cairo_rectangle_int_t cr{r.left, r.top, r.width(), r.height()};
    cairo_region_union_rectangle(shape, &cr);
  }
  // Cuts the X shape, so the corners are gone even without a compositor.
  gtk_widget_shape_combine_region(n->window, shape);
  gtk_widget_input_shape_combine_region(n->window, shape);
  cairo_region_destroy(shape);
}

void GtkBackend::setOpacity(HWND hwnd, BYTE alpha) {
  if (Native* n = find(hwnd)) gtk_widget_set_opacity(n->window, alpha / 255.0);
}

void GtkBackend::setTopmost(HWND hwnd, bool topmost) {
  if (Native* n = find(hwnd)) gtk_window_set_keep_above(GTK_WINDOW(n->window), topmost);
}

void GtkBackend::setSizeLimits(HWND hwnd, SIZE minimum, SIZE maximum) {
  Native* n = find(hwnd);
  if (n == nullptr) return;
  GdkGeometry g;
  std::memset(&g, 0, sizeof g);
  g.min_width = std::max(minimum.cx, 1);
  g.min_height = std::max(minimum.cy, 1);
  g.max_width = std::max(maximum.cx, g.min_width);
  g.max_height = std::max(maximum.cy, g.min_height);
  gtk_window_set_geometry_hints(GTK_WINDOW(n->window), nullptr, &g,
                                static_cast<GdkWindowHints>(GDK_HINT_MIN_SIZE | GDK_HINT_MAX_SIZE));
}

void GtkBackend::setIcon(HWND hwnd, const PixelView* icon) {
  Native* n = find(hwnd);
  if (n == nullptr) return;
  if (icon == nullptr || icon->pixels == nullptr) {
    gtk_window_set_icon(GTK_WINDOW(n->window), nullptr);
    return;
  }
  GdkPixbuf* pb = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, icon->width, icon->height);
  if (pb == nullptr) return;
  guchar* dst = gdk_pixbuf_get_pixels(pb);
  const int stride = gdk_pixbuf_get_rowstride(pb);
  for (int y = 0; y < icon->height; ++y) {
    for (int x = 0; x < icon->width; ++x) {
      const std::uint32_t p = icon->at(x, y);
      const unsigned a = p >> 24;
      auto un = [a](unsigned c) { return static_cast<guchar>(a == 0 ? 0 : std::min(255u, (c * 255 + a / 2) / a)); };
      guchar* o = dst + y * stride + x * 4;
      o[0] = un((p >> 16) & 0xFF);
      o[1] = un((p >> 8) & 0xFF);
      o[2] = un(p & 0xFF);
      o[3] = static_cast<guchar>(a);
    }
  }
  gtk_window_set_icon(GTK_WINDOW(n->window), pb);
  g_object_unref(pb);
}

void GtkBackend::activate(HWND hwnd) {
  if (Native* n = find(hwnd)) {
    gtk_window_present_with_time(GTK_WINDOW(n->window), lastEventTime_ != 0 ? lastEventTime_ : GDK_CURRENT_TIME);
  }
}

void GtkBackend::setEnabled(HWND hwnd, bool enabled) {
  if (Native* n = find(hwnd)) gtk_window_set_accept_focus(GTK_WINDOW(n->window), enabled);
}

namespace {

// Puts the image on the screen now rather than at the next frame: fades and close effects
// push frame after frame from one loop without returning to the main loop in between.
void paintNow(GtkBackend::Native* n, const RECT& r) {
  GdkWindow* gw = gtk_widget_get_window(n->window);
  cairo_surface_t* image = gfx::cairoSurfaceOf(n->image.surface());
  if (gw == nullptr || !gdk_window_is_viewable(gw) || image == nullptr) {
    gtk_widget_queue_draw_area(n->area, r.left, r.top, r.width(), r.height());
    return;
  }
  const cairo_rectangle_int_t rect{r.left, r.top, r.width(), r.height()};
  cairo_region_t* region = cairo_region_create_rectangle(&rect);
  // The frame is clipped to the region: only the dirty rectangle goes to the X server.
  GdkDrawingContext* context = gdk_window_begin_draw_frame(gw, region);
  cairo_t* cr = gdk_drawing_context_get_cairo_context(context);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, image, 0, 0);
  cairo_paint(cr);
  gdk_window_end_draw_frame(gw, context);
  cairo_region_destroy(region);
  gdk_display_flush(gdk_window_get_display(gw));
}

}  // namespace

double GtkBackend::scale(HWND hwnd) {
  Native* n = find(hwnd);
  return n == nullptr ? 1 : std::max(gtk_widget_get_scale_factor(n->window), 1);
}

ShownImage* GtkBackend::image(HWND hwnd) {
  Native* n = find(hwnd);
  return n == nullptr ? nullptr : &n->image;
}

void GtkBackend::present(HWND hwnd, const RECT& dirty) {
  Native* n = find(hwnd);
  if (n == nullptr) return;
  const RECT r{std::max(dirty.left, 0), std::max(dirty.top, 0),
               std::min(dirty.right, n->image.width()), std::min(dirty.bottom, n->image.height())};
  if (!r.empty()) paintNow(n, r);
}

void GtkBackend::setCursor(HWND hwnd, int cursorId) {
  Native* n = find(hwnd);
  if (n == nullptr || n->cursorId == cursorId) return;
  GdkWindow* gw = gtk_widget_get_window(n->area);
  if (gw == nullptr) return;
  n->cursorId = cursorId;
  GdkCursor* c = gdk_cursor_new_from_name(gdk_display_get_default(), cursorName(cursorId));
  gdk_window_set_cursor(gw, c);
  if (c != nullptr) g_object_unref(c);
}

void GtkBackend::setCapture(HWND hwnd, bool captured) {
  Native* n = find(hwnd);
  if (n == nullptr || n->grabbed == captured) return;
  GdkWindow* gw = gtk_widget_get_window(n->area);
  if (captured) {
    if (gw != nullptr && gdk_window_is_visible(gw)) {
      n->grabbed = gdk_seat_grab(defaultSeat(), gw, GDK_SEAT_CAPABILITY_ALL_POINTING, TRUE, nullptr, nullptr,
                                 nullptr, nullptr) == GDK_GRAB_SUCCESS;
    }
  } else {
    gdk_seat_ungrab(defaultSeat());
    n->grabbed = false;
  }
}

bool GtkBackend::leftButtonDown() {
  GdkDevice* pointer = gdk_seat_get_pointer(defaultSeat());
  if (pointer == nullptr) return false;
  GdkModifierType mask = static_cast<GdkModifierType>(0);
  gdk_device_get_state(pointer, gdk_get_default_root_window(), nullptr, &mask);
  return (mask & GDK_BUTTON1_MASK) != 0;
}

void GtkBackend::setInputCursor(HWND hwnd, const std::optional<RECT>& area) {
  Native* n = find(hwnd);
  if (n == nullptr || n->im == nullptr) return;
  // The input method's client window is the drawing area, which fills the window, so the
  // client coordinates carry over.
  GdkRectangle r{0, 0, 0, 0};
  if (area) r = {area->left, area->top, std::max(area->right - area->left, 0), std::max(area->bottom - area->top, 0)};
  gtk_im_context_set_cursor_location(n->im, &r);
}

bool GtkBackend::beginMoveDrag(HWND hwnd) {
  Native* n = find(hwnd);
  if (n == nullptr) return false;
  POINT p = cursorPos();
  gtk_window_begin_move_drag(GTK_WINDOW(n->window), 1, p.x, p.y, lastEventTime_);
  watchSizeMove(hwnd);
  return true;
}

bool GtkBackend::beginResizeDrag(HWND hwnd, int wmszEdge) {
  Native* n = find(hwnd);
  if (n == nullptr) return false;
  POINT p = cursorPos();
  gtk_window_begin_resize_drag(GTK_WINDOW(n->window), edgeOf(wmszEdge), 1, p.x, p.y, lastEventTime_);
  watchSizeMove(hwnd);
  return true;
}

void GtkBackend::watchSizeMove(HWND hwnd) {
  sizeMoves_.insert(hwnd);
  // The window manager has the pointer now: the release that ends it never reaches us,
  // so watch the button.
  if (sizeMoveSource_ == 0) sizeMoveSource_ = g_timeout_add(40, sizeMoveTick, this);
}

bool GtkBackend::checkSizeMoves() {
  if (!sizeMoves_.empty() && !leftButtonDown()) {
    for (HWND h : sizeMoves_) queue(event::SizeMoveEnded{h});
    sizeMoves_.clear();
  }
  if (sizeMoves_.empty()) {
    sizeMoveSource_ = 0;
    return false;
  }
  return true;
}

int GtkBackend::sizeMoveTick(void* backend) {
  return static_cast<GtkBackend*>(backend)->checkSizeMoves() ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

std::int64_t GtkBackend::nowMs() { return g_get_monotonic_time() / 1000; }

void GtkBackend::sleep(std::int64_t ms) { g_usleep(static_cast<gulong>(std::max<std::int64_t>(ms, 0)) * 1000); }

void GtkBackend::wait(std::optional<std::int64_t> deadlineMs) {
  bool fired = false;
  guint source = 0;
  if (deadlineMs) {
    const std::int64_t ms = std::max<std::int64_t>(0, *deadlineMs - nowMs());
    if (ms == 0) {
      poll();
      return;
    }
    source = g_timeout_add(static_cast<guint>(std::min<std::int64_t>(ms, 1 << 30)), timeoutFired, &fired);
  }
  g_main_context_iteration(nullptr, TRUE);
  if (source != 0 && !fired) g_source_remove(source);
}

void GtkBackend::poll() {
  for (int i = 0; i < 200 && g_main_context_iteration(nullptr, FALSE); ++i) {
  }
}

void GtkBackend::wake() { g_main_context_wakeup(nullptr); }

}  // namespace platform::window
