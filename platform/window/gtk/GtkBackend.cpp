#include "platform/window/gtk/GtkBackend.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>

#include "platform/window/WindowApi.h"
#include "platform/window/WindowConstants.h"
#include "platform/window/gtk/GtkKeys.h"
#include "platform/window/gtk/GtkNative.h"
#include "platform/window/gtk/X11Windows.h"

namespace platform::window {

namespace {

Modifiers modifiersOf(guint state) {
  return {(state & GDK_SHIFT_MASK) != 0,   (state & GDK_CONTROL_MASK) != 0,
          (state & GDK_MOD1_MASK) != 0,    (state & GDK_BUTTON1_MASK) != 0,
          (state & GDK_BUTTON3_MASK) != 0, (state & GDK_BUTTON2_MASK) != 0};
}

GdkSeat* seat() { return gdk_display_get_default_seat(gdk_display_get_default()); }

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

GdkMonitor* primaryMonitor() {
  GdkDisplay* d = gdk_display_get_default();
  GdkMonitor* m = gdk_display_get_primary_monitor(d);
  if (m == nullptr && gdk_display_get_n_monitors(d) > 0) m = gdk_display_get_monitor(d, 0);
  return m;
}

}  // namespace

// Signal handlers. They only queue events: window procedures never run inside them.
struct GtkSignals {
  static RECT screenRect(GtkBackend::Native* n) {
    GdkWindow* gw = gtk_widget_get_window(n->window);
    int x = 0, y = 0;
    if (gw != nullptr) gdk_window_get_origin(gw, &x, &y);
    const int w = gtk_widget_get_allocated_width(n->area);
    const int h = gtk_widget_get_allocated_height(n->area);
    return {x, y, x + std::max(w, 0), y + std::max(h, 0)};
  }

  static void reportGeometry(GtkBackend::Native* n, int width, int height) {
    GdkWindow* gw = gtk_widget_get_window(n->window);
    int x = 0, y = 0;
    if (gw != nullptr) gdk_window_get_origin(gw, &x, &y);
    const RECT r{x, y, x + width, y + height};
    if (r == n->lastRect) return;
    n->lastRect = r;
    n->owner->queue(event::Configured{n->hwnd, r, n->placement});
  }

  static gboolean onConfigure(GtkWidget*, GdkEventConfigure* e, gpointer data) {
    auto* n = static_cast<GtkBackend::Native*>(data);
    reportGeometry(n, e->width, e->height);
    return FALSE;
  }

  static gboolean onWindowState(GtkWidget*, GdkEventWindowState* e, gpointer data) {
    auto* n = static_cast<GtkBackend::Native*>(data);
    event::Placement p = event::Placement::Normal;
    if (e->new_window_state & GDK_WINDOW_STATE_ICONIFIED) p = event::Placement::Minimized;
    else if (e->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) p = event::Placement::Maximized;
    if (p != n->placement) {
      n->placement = p;
      int w = 0, h = 0;
      gtk_window_get_size(GTK_WINDOW(n->window), &w, &h);
      n->lastRect = {};
      reportGeometry(n, w, h);
    }
    return FALSE;
  }

  static gboolean onDelete(GtkWidget*, GdkEvent*, gpointer data) {
    auto* n = static_cast<GtkBackend::Native*>(data);
    n->owner->queue(event::CloseRequest{n->hwnd});
    return TRUE;  // the window procedure decides
  }

  static gboolean onFocusIn(GtkWidget*, GdkEventFocus*, gpointer data) {
    auto* n = static_cast<GtkBackend::Native*>(data);
    gtk_im_context_focus_in(n->im);
    n->owner->queue(event::Activation{n->hwnd, true});
    return FALSE;
  }

  static gboolean onFocusOut(GtkWidget*, GdkEventFocus*, gpointer data) {
    auto* n = static_cast<GtkBackend::Native*>(data);
    n->keysDown.clear();
    gtk_im_context_focus_out(n->im);
    n->owner->queue(event::Activation{n->hwnd, false});
    return FALSE;
  }

  static gboolean onDraw(GtkWidget*, cairo_t* cr, gpointer data) {
    auto* n = static_cast<GtkBackend::Native*>(data);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, 0, 0, 0, 0);
    cairo_paint(cr);
    if (cairo_surface_t* image = n->image.cairoSurface()) {
      cairo_set_source_surface(cr, image, 0, 0);
      cairo_paint(cr);
    }
    return TRUE;
  }

  static void noteEvent(GtkBackend::Native* n, guint32 time, double rootX, double rootY) {
    n->owner->lastEventTime_ = time;
    n->owner->lastRootX_ = rootX;
    n->owner->lastRootY_ = rootY;
  }

  static gboolean onButton(GtkWidget*, GdkEventButton* e, gpointer data) {
    auto* n = static_cast<GtkBackend::Native*>(data);
    // Double clicks are worked out from plain presses; GDK's own would come twice.
    if (e->type != GDK_BUTTON_PRESS && e->type != GDK_BUTTON_RELEASE) return TRUE;
    noteEvent(n, e->time, e->x_root, e->y_root);
    if (n->owner->lastButtonEvent_ != nullptr) gdk_event_free(static_cast<GdkEvent*>(n->owner->lastButtonEvent_));
    n->owner->lastButtonEvent_ = gdk_event_copy(reinterpret_cast<GdkEvent*>(e));
    MouseButton b;
    if (e->button == 1) b = MouseButton::Left;
    else if (e->button == 3) b = MouseButton::Right;
    else if (e->button == 2) b = MouseButton::Middle;
    else return TRUE;
    if (e->type == GDK_BUTTON_PRESS && !gtk_widget_has_focus(n->area)) gtk_widget_grab_focus(n->area);
    n->owner->queue(event::Button{n->hwnd, b, e->type == GDK_BUTTON_PRESS, static_cast<int>(e->x),
                                  static_cast<int>(e->y), static_cast<std::int64_t>(e->time),
                                  modifiersOf(e->state)});
    return TRUE;
  }

  static gboolean onMotion(GtkWidget*, GdkEventMotion* e, gpointer data) {
    auto* n = static_cast<GtkBackend::Native*>(data);
    noteEvent(n, e->time, e->x_root, e->y_root);
    n->owner->queue(event::Motion{n->hwnd, static_cast<int>(e->x), static_cast<int>(e->y),
                                  modifiersOf(e->state)});
    return TRUE;
  }

  static gboolean onScroll(GtkWidget*, GdkEventScroll* e, gpointer data) {
    auto* n = static_cast<GtkBackend::Native*>(data);
    int notches = 0;
    if (e->direction == GDK_SCROLL_UP) notches = 1;
    else if (e->direction == GDK_SCROLL_DOWN) notches = -1;
    if (notches != 0) {
      n->owner->queue(event::Wheel{n->hwnd, notches, static_cast<int>(e->x), static_cast<int>(e->y),
                                   modifiersOf(e->state)});
    }
    return TRUE;
  }

  static gboolean onLeave(GtkWidget*, GdkEventCrossing* e, gpointer data) {
    auto* n = static_cast<GtkBackend::Native*>(data);
    // Crossings caused by grabs are not the pointer leaving.
    if (e->mode != GDK_CROSSING_NORMAL && e->mode != GDK_CROSSING_UNGRAB) return TRUE;
    if (e->mode == GDK_CROSSING_UNGRAB) {
      const RECT r = screenRect(n);
      if (r.contains(static_cast<int>(e->x_root), static_cast<int>(e->y_root))) return TRUE;
    }
    n->owner->queue(event::PointerLeft{n->hwnd});
    return TRUE;
  }

  static void queueKey(GtkBackend::Native* n, GdkEventKey* e, bool taken) {
    const bool down = e->type == GDK_KEY_PRESS;
    Modifiers m = modifiersOf(e->state);
    const int vk = virtualKeyFromGdk(e->keyval);
    // The state of a modifier's own event is the state before it.
    if (vk == VK_SHIFT) m.shift = down;
    if (vk == VK_CONTROL) m.control = down;
    if (vk == VK_MENU) m.alt = down;
    bool repeat = false;
    if (down) repeat = !n->keysDown.insert(e->hardware_keycode).second;
    else n->keysDown.erase(e->hardware_keycode);
    n->owner->queue(event::Key{n->hwnd, vk, down, repeat, static_cast<int>(e->hardware_keycode), taken, m});
  }

  static gboolean onKey(GtkWidget*, GdkEventKey* e, gpointer data) {
    auto* n = static_cast<GtkBackend::Native*>(data);
    noteEvent(n, e->time, 0, 0);
    const bool wasComposing = n->preedit;
    n->inKeyFilter = true;
    n->commitBuffer.clear();
    const bool taken = gtk_im_context_filter_keypress(n->im, e) != FALSE;
    n->inKeyFilter = false;
    // The key message comes before the characters it made.
    queueKey(n, e, taken && (wasComposing || n->preedit));
    if (!n->commitBuffer.empty()) {
      n->owner->queue(event::Text{n->hwnd, n->commitBuffer});
      n->commitBuffer.clear();
    }
    return TRUE;
  }

  static void onCommit(GtkIMContext*, const gchar* text, gpointer data) {
    auto* n = static_cast<GtkBackend::Native*>(data);
    if (text == nullptr) return;
    if (n->inKeyFilter) n->commitBuffer += text;
    else n->owner->queue(event::Text{n->hwnd, text});
  }

  static void onPreeditStart(GtkIMContext*, gpointer data) {
    static_cast<GtkBackend::Native*>(data)->preedit = true;
  }
  static void onPreeditEnd(GtkIMContext*, gpointer data) {
    static_cast<GtkBackend::Native*>(data)->preedit = false;
  }

  static void onRealize(GtkWidget* area, gpointer data) {
    auto* n = static_cast<GtkBackend::Native*>(data);
    gtk_im_context_set_client_window(n->im, gtk_widget_get_window(area));
  }

  static gboolean timeoutFired(gpointer data) {
    *static_cast<bool*>(data) = true;
    return G_SOURCE_REMOVE;
  }

  static gboolean sizeMoveTick(gpointer data) {
    return static_cast<GtkBackend*>(data)->checkSizeMoves() ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
  }
};

bool GtkBackend::open() {
  static const bool opened = [] {
    gdk_set_allowed_backends("x11");
    return gtk_init_check(nullptr, nullptr) != FALSE;
  }();
  return opened;
}

GtkBackend::GtkBackend() { open(); }

GtkBackend::~GtkBackend() {
  if (sizeMoveSource_ != 0) g_source_remove(sizeMoveSource_);
  if (lastButtonEvent_ != nullptr) gdk_event_free(static_cast<GdkEvent*>(lastButtonEvent_));
  for (auto& [h, n] : windows_) {
    if (n->grabbed) gdk_seat_ungrab(seat());
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

  Native* raw = n.get();
  g_signal_connect(n->window, "configure-event", G_CALLBACK(GtkSignals::onConfigure), raw);
  g_signal_connect(n->window, "window-state-event", G_CALLBACK(GtkSignals::onWindowState), raw);
  g_signal_connect(n->window, "delete-event", G_CALLBACK(GtkSignals::onDelete), raw);
  g_signal_connect(n->window, "focus-in-event", G_CALLBACK(GtkSignals::onFocusIn), raw);
  g_signal_connect(n->window, "focus-out-event", G_CALLBACK(GtkSignals::onFocusOut), raw);
  g_signal_connect(n->area, "draw", G_CALLBACK(GtkSignals::onDraw), raw);
  g_signal_connect(n->area, "button-press-event", G_CALLBACK(GtkSignals::onButton), raw);
  g_signal_connect(n->area, "button-release-event", G_CALLBACK(GtkSignals::onButton), raw);
  g_signal_connect(n->area, "motion-notify-event", G_CALLBACK(GtkSignals::onMotion), raw);
  g_signal_connect(n->area, "scroll-event", G_CALLBACK(GtkSignals::onScroll), raw);
  g_signal_connect(n->area, "leave-notify-event", G_CALLBACK(GtkSignals::onLeave), raw);
  g_signal_connect(n->area, "key-press-event", G_CALLBACK(GtkSignals::onKey), raw);
  g_signal_connect(n->area, "key-release-event", G_CALLBACK(GtkSignals::onKey), raw);
  g_signal_connect(n->area, "realize", G_CALLBACK(GtkSignals::onRealize), raw);
  g_signal_connect(n->im, "commit", G_CALLBACK(GtkSignals::onCommit), raw);
  g_signal_connect(n->im, "preedit-start", G_CALLBACK(GtkSignals::onPreeditStart), raw);
  g_signal_connect(n->im, "preedit-end", G_CALLBACK(GtkSignals::onPreeditEnd), raw);
  gtk_widget_show(n->area);
  gtk_widget_grab_focus(n->area);
  n->lastRect = spec.screenRect;
  windows_.emplace(hwnd, std::move(n));
}

void GtkBackend::destroyWindow(HWND hwnd) {
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return;
  Native* n = it->second.get();
  if (n->grabbed) gdk_seat_ungrab(seat());
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
  cairo_surface_t* image = n->image.cairoSurface();
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
      n->grabbed = gdk_seat_grab(seat(), gw, GDK_SEAT_CAPABILITY_ALL_POINTING, TRUE, nullptr, nullptr,
                                 nullptr, nullptr) == GDK_GRAB_SUCCESS;
    }
  } else {
    gdk_seat_ungrab(seat());
    n->grabbed = false;
  }
}

bool GtkBackend::leftButtonDown() {
  GdkDevice* pointer = gdk_seat_get_pointer(seat());
  if (pointer == nullptr) return false;
  GdkModifierType mask = static_cast<GdkModifierType>(0);
  gdk_device_get_state(pointer, gdk_get_default_root_window(), nullptr, &mask);
  return (mask & GDK_BUTTON1_MASK) != 0;
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
  if (sizeMoveSource_ == 0) sizeMoveSource_ = g_timeout_add(40, GtkSignals::sizeMoveTick, this);
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
    source = g_timeout_add(static_cast<guint>(std::min<std::int64_t>(ms, 1 << 30)), GtkSignals::timeoutFired, &fired);
  }
  g_main_context_iteration(nullptr, TRUE);
  if (source != 0 && !fired) g_source_remove(source);
}

void GtkBackend::poll() {
  for (int i = 0; i < 200 && g_main_context_iteration(nullptr, FALSE); ++i) {
  }
}

void GtkBackend::wake() { g_main_context_wakeup(nullptr); }

SIZE GtkBackend::screenSize() {
  GdkMonitor* m = primaryMonitor();
  if (m == nullptr) return {1024, 768};
  GdkRectangle g;
  gdk_monitor_get_geometry(m, &g);
  return {g.x + g.width, g.y + g.height};
}

RECT GtkBackend::workArea() {
  GdkMonitor* m = primaryMonitor();
  if (m == nullptr) return {0, 0, 1024, 768};
  GdkRectangle g;
  gdk_monitor_get_workarea(m, &g);
  return {g.x, g.y, g.x + g.width, g.y + g.height};
}

int GtkBackend::doubleClickTimeMs() {
  gint ms = 400;
  g_object_get(gtk_settings_get_default(), "gtk-double-click-time", &ms, nullptr);
  return ms;
}

SIZE GtkBackend::doubleClickSize() {
  gint distance = 5;
  g_object_get(gtk_settings_get_default(), "gtk-double-click-distance", &distance, nullptr);
  return {2 * distance, 2 * distance};
}

POINT GtkBackend::cursorPos() {
  GdkDevice* pointer = gdk_seat_get_pointer(seat());
  int x = 0, y = 0;
  if (pointer != nullptr) gdk_device_get_position(pointer, nullptr, &x, &y);
  return {x, y};
}

void GtkBackend::beep(UINT) { gdk_display_beep(gdk_display_get_default()); }

std::set<unsigned long> GtkBackend::ownXids() const {
  std::set<unsigned long> own;
  for (const auto& [h, n] : windows_) {
    if (GdkWindow* gw = gtk_widget_get_window(n->window)) own.insert(GDK_WINDOW_XID(gw));
  }
  return own;
}

std::uint64_t GtkBackend::findForeignWindow(const std::string& titleUtf8) {
  return x11::findClientByTitle(titleUtf8, ownXids());
}

bool GtkBackend::foreignWindowExists(std::uint64_t id) { return x11::windowExists(id); }

bool GtkBackend::showForeignWindow(std::uint64_t id, NativeShow how) { return x11::showWindow(id, how); }

}  // namespace platform::window
