#include "platform/window/gtk/X11Windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>

#include <cstring>
#include <vector>

namespace platform::window::x11 {
namespace {

Display* display() {
  GdkDisplay* d = gdk_display_get_default();
  if (d == nullptr || !GDK_IS_X11_DISPLAY(d)) return nullptr;
  return gdk_x11_display_get_xdisplay(d);
}

// Property bytes of one window, empty when missing. Errors (a window that vanished) are
// trapped by the caller.
std::vector<unsigned char> property(Display* d, Window w, Atom name, Atom type, int& format,
                                    unsigned long& items) {
  Atom actualType = None;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  items = 0;
  format = 0;
  std::vector<unsigned char> out;
  if (XGetWindowProperty(d, w, name, 0, 1 << 16, False, type, &actualType, &format, &items, &after,
                         &data) == Success &&
      data != nullptr) {
    const std::size_t unit = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
    out.assign(data, data + items * unit);
  }
  if (data != nullptr) XFree(data);
  return out;
}

std::string titleOf(Display* d, Window w) {
  int format = 0;
  unsigned long items = 0;
  const Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  std::vector<unsigned char> bytes = property(d, w, netName, utf8, format, items);
  if (!bytes.empty() && format == 8) return std::string(bytes.begin(), bytes.end());
  bytes = property(d, w, XA_WM_NAME, AnyPropertyType, format, items);
  if (!bytes.empty() && format == 8) return std::string(bytes.begin(), bytes.end());
  return {};
}

void collectTree(Display* d, Window w, int depth, std::vector<Window>& out) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &count)) return;
  for (unsigned i = 0; i < count; ++i) {
    out.push_back(children[i]);
    // Window managers put each client inside a frame or two.
    if (depth < 3) collectTree(d, children[i], depth + 1, out);
  }
  if (children != nullptr) XFree(children);
}

}  // namespace

std::uint64_t findClientByTitle(const std::string& titleUtf8, const std::set<unsigned long>& skip) {
  Display* d = display();
  if (d == nullptr || titleUtf8.empty()) return 0;
  GdkDisplay* gd = gdk_display_get_default();
  gdk_x11_display_error_trap_push(gd);
  const Window root = DefaultRootWindow(d);
  std::vector<Window> candidates;
  int format = 0;
  unsigned long items = 0;
  std::vector<unsigned char> list =
      property(d, root, XInternAtom(d, "_NET_CLIENT_LIST", False), XA_WINDOW, format, items);
  if (format == 32 && items > 0) {
    const long* ids = reinterpret_cast<const long*>(list.data());
    for (unsigned long i = 0; i < items; ++i) candidates.push_back(static_cast<Window>(ids[i]));
  } else {
    collectTree(d, root, 0, candidates);
  }
  std::uint64_t found = 0;
  for (Window w : candidates) {
    if (skip.count(w) != 0) continue;
    if (titleOf(d, w) == titleUtf8) {
      found = w;
      break;
    }
  }
  gdk_x11_display_error_trap_pop_ignored(gd);
  return found;
}

bool windowExists(std::uint64_t xid) {
  Display* d = display();
  if (d == nullptr || xid == 0) return false;
  GdkDisplay* gd = gdk_display_get_default();
  gdk_x11_display_error_trap_push(gd);
  XWindowAttributes attributes;
  const Status ok = XGetWindowAttributes(d, static_cast<Window>(xid), &attributes);
  const int error = gdk_x11_display_error_trap_pop(gd);
  return ok != 0 && error == 0;
}

bool showWindow(std::uint64_t xid, NativeShow how) {
  Display* d = display();
  if (d == nullptr || !windowExists(xid)) return false;
  const Window w = static_cast<Window>(xid);
  GdkDisplay* gd = gdk_display_get_default();
  gdk_x11_display_error_trap_push(gd);
  if (how == NativeShow::Hide) {
    XWithdrawWindow(d, w, DefaultScreen(d));
  } else if (how == NativeShow::Minimized) {
    XIconifyWindow(d, w, DefaultScreen(d));
  } else {
    // Mapping an iconic window brings it back; the active-window request raises and
    // focuses it through the window manager.
    XMapRaised(d, w);
    XEvent e;
    std::memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = 2;  // from a pager: honoured without focus-stealing checks
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  }
  XFlush(d);
  return gdk_x11_display_error_trap_pop(gd) == 0;
}

}  // namespace platform::window::x11
