// The GTK back end's desktop services: clipboard, open-file dialog, popup menus, screen
// metrics and the windows of other processes.

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "platform/window/WindowApi.h"
#include "platform/window/gtk/GtkBackend.h"
#include "platform/window/gtk/GtkNative.h"
#include "platform/window/gtk/X11Windows.h"

namespace platform::window {
namespace {

// While a native modal loop runs (file dialog, popup menu) our own messages, timers and
// calls from workers keep being served, as they are under the desktop's own modal loops.
class ModalPump {
 public:
  ModalPump() : source_(g_timeout_add(15, tick, nullptr)) {}
  ~ModalPump() { g_source_remove(source_); }
  ModalPump(const ModalPump&) = delete;
  ModalPump& operator=(const ModalPump&) = delete;

 private:
  static gboolean tick(gpointer) {
    processPendingMessages();
    return G_SOURCE_CONTINUE;
  }
  guint source_;
};

}  // namespace

void GtkBackend::setClipboardUtf8(const std::string& text) {
  GtkClipboard* c = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  gtk_clipboard_set_text(c, text.c_str(), static_cast<gint>(text.size()));
}

std::string GtkBackend::clipboardUtf8() {
  GtkClipboard* c = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  gchar* text = gtk_clipboard_wait_for_text(c);
  std::string out = text != nullptr ? text : "";
  g_free(text);
  return out;
}

std::optional<std::string> GtkBackend::openFileDialog(HWND owner, const std::string& titleUtf8,
                                                      const std::vector<FileFilter>& filters) {
  Native* o = find(owner);
  GtkWidget* dialog = gtk_file_chooser_dialog_new(
      titleUtf8.c_str(), o != nullptr ? GTK_WINDOW(o->window) : nullptr, GTK_FILE_CHOOSER_ACTION_OPEN,
      "_Cancel", GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT, nullptr);
  for (const FileFilter& f : filters) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, f.nameUtf8.c_str());
    for (const std::string& pattern : f.patterns) {
      // The desktop the filters were written for ignores case in file names.
      gtk_file_filter_add_pattern(filter, pattern.c_str());
      std::string upperCase = pattern;
      for (char& c : upperCase) c = static_cast<char>(g_ascii_toupper(c));
      if (upperCase != pattern) gtk_file_filter_add_pattern(filter, upperCase.c_str());
    }
    gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(dialog), filter);
  }
  std::optional<std::string> result;
  g_object_ref(dialog);  // a procedure run meanwhile may destroy its owner, and it with it
  int response;
  {
    ModalPump pump;
    response = gtk_dialog_run(GTK_DIALOG(dialog));
  }
  if (response == GTK_RESPONSE_ACCEPT) {
    if (gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog))) {
      result = std::string(name);
      g_free(name);
    }
  }
  gtk_widget_destroy(dialog);
  g_object_unref(dialog);
  return result;
}

namespace {
struct MenuRun {
  GMainLoop* loop = nullptr;
  std::optional<UINT> chosen;
};
void onMenuItem(GtkMenuItem* item, gpointer data) {
  auto* run = static_cast<MenuRun*>(data);
  run->chosen = static_cast<UINT>(GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), "tunora-id")));
}
void onMenuDone(GtkMenuShell*, gpointer data) { g_main_loop_quit(static_cast<MenuRun*>(data)->loop); }
}  // namespace

std::optional<UINT> GtkBackend::popupMenu(HWND owner, const std::vector<MenuItem>& items, POINT screen) {
  Native* o = find(owner);
  if (o == nullptr) return std::nullopt;
  MenuRun run;
  GtkWidget* menu = gtk_menu_new();
  for (const MenuItem& m : items) {
    GtkWidget* item = gtk_menu_item_new_with_label(m.labelUtf8.c_str());
    gtk_widget_set_sensitive(item, m.enabled);
    g_object_set_data(G_OBJECT(item), "tunora-id", GUINT_TO_POINTER(m.id));
    g_signal_connect(item, "activate", G_CALLBACK(onMenuItem), &run);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
  }
  gtk_widget_show_all(menu);
  gtk_menu_attach_to_widget(GTK_MENU(menu), o->area, nullptr);
  run.loop = g_main_loop_new(nullptr, FALSE);
  g_signal_connect(menu, "deactivate", G_CALLBACK(onMenuDone), &run);
  GdkWindow* gw = gtk_widget_get_window(o->area);
  int ox = 0, oy = 0;
  if (gw != nullptr) gdk_window_get_origin(gw, &ox, &oy);
  const GdkRectangle at{screen.x - ox, screen.y - oy, 1, 1};
  gtk_menu_popup_at_rect(GTK_MENU(menu), gw, &at, GDK_GRAVITY_NORTH_WEST, GDK_GRAVITY_NORTH_WEST,
                         static_cast<GdkEvent*>(lastButtonEvent_));
  g_object_ref_sink(menu);
  if (gtk_widget_get_visible(menu)) {
    ModalPump pump;
    g_main_loop_run(run.loop);
  }
  g_signal_handlers_disconnect_by_data(menu, &run);
  g_main_loop_unref(run.loop);
  gtk_widget_destroy(menu);
  g_object_unref(menu);
  return run.chosen;
}

// --- metrics and other processes' windows ---------------------------------------------

namespace {

GdkMonitor* primaryMonitor() {
  GdkDisplay* d = gdk_display_get_default();
  GdkMonitor* m = gdk_display_get_primary_monitor(d);
  if (m == nullptr && gdk_display_get_n_monitors(d) > 0) m = gdk_display_get_monitor(d, 0);
  return m;
}

}  // namespace

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
  GdkDevice* pointer = gdk_seat_get_pointer(defaultSeat());
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
