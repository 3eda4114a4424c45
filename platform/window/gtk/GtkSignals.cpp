// The GTK back end's signal handlers: input, focus, geometry and drawing of each window.

#include <gtk/gtk.h>

#include <algorithm>

#include "platform/gfx/cairo/CairoHandles.h"
#include "platform/window/WindowConstants.h"
#include "platform/window/gtk/GtkKeys.h"
#include "platform/window/gtk/GtkNative.h"
#include "platform/window/gtk/GtkSignals.h"

namespace platform::window {

namespace {

Modifiers modifiersOf(guint state) {
  return {(state & GDK_SHIFT_MASK) != 0,   (state & GDK_CONTROL_MASK) != 0,
          (state & GDK_MOD1_MASK) != 0,    (state & GDK_BUTTON1_MASK) != 0,
          (state & GDK_BUTTON3_MASK) != 0, (state & GDK_BUTTON2_MASK) != 0};
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
    if (cairo_surface_t* image = gfx::cairoSurfaceOf(n->image.surface())) {
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

  // GDK_SCALE or the desktop's scaling setting; the window layer redraws at the new one.
  static void onScaleFactor(GObject*, GParamSpec*, gpointer data) {
    auto* n = static_cast<GtkBackend::Native*>(data);
    n->owner->queue(event::ScaleChanged{n->hwnd});
  }

  static void onRealize(GtkWidget* area, gpointer data) {
    auto* n = static_cast<GtkBackend::Native*>(data);
    gtk_im_context_set_client_window(n->im, gtk_widget_get_window(area));
  }

  static void connect(GtkBackend::Native* n) {
    GtkBackend::Native* raw = n;
    g_signal_connect(n->window, "configure-event", G_CALLBACK(GtkSignals::onConfigure), raw);
    g_signal_connect(n->window, "window-state-event", G_CALLBACK(GtkSignals::onWindowState), raw);
    g_signal_connect(n->window, "delete-event", G_CALLBACK(GtkSignals::onDelete), raw);
    g_signal_connect(n->window, "focus-in-event", G_CALLBACK(GtkSignals::onFocusIn), raw);
    g_signal_connect(n->window, "focus-out-event", G_CALLBACK(GtkSignals::onFocusOut), raw);
    g_signal_connect(n->area, "draw", G_CALLBACK(GtkSignals::onDraw), raw);
    g_signal_connect(n->window, "notify::scale-factor", G_CALLBACK(GtkSignals::onScaleFactor), raw);
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
  }
};

void connectSignals(GtkBackend::Native* n) { GtkSignals::connect(n); }

}  // namespace platform::window
