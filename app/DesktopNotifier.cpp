#include "app/DesktopNotifier.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdint>
#include <optional>
#include <utility>

#include "app/SessionBus.h"
#include "platform/text/CodePage.h"

namespace app {

namespace {

// One notification: what it shows.
struct Notice {
  std::uint64_t change = 0;           // the song change it tells of
  std::string title, singer;          // UTF-8
  std::shared_ptr<GVariant> picture;  // the image-data hint's value, or null
};

}  // namespace

struct DesktopNotifier::Shared {
  GDBusConnection* bus = nullptr;  // owned; null until the bus is there
  GCancellable* cancel = g_cancellable_new();
  bool alive = true;          // the notifier still exists
  std::uint64_t latest = 0;   // the newest song change told
  std::uint32_t shownId = 0;  // the server's id of the notification shown last
  // A notice waits for the server's answer, which holds the id the next one replaces;
  // the newest that comes meanwhile waits for it.
  bool sending = false;
  std::optional<Notice> waiting;

  ~Shared() {
    if (bus != nullptr) g_object_unref(bus);
    g_object_unref(cancel);
  }
};

namespace {

using Shared = DesktopNotifier::Shared;

// The picture as the image-data hint carries it: width, height, row stride, alpha, bits
// per sample, channels and the pixels. Null when the bytes are no picture.
std::shared_ptr<GVariant> imageData(const std::string& bytes) {
  if (bytes.empty()) return nullptr;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  const bool fed = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()), bytes.size(),
                                           nullptr) != FALSE;
  const bool closed = gdk_pixbuf_loader_close(loader, nullptr) != FALSE;
  GdkPixbuf* pixbuf = fed && closed ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  std::shared_ptr<GVariant> image;
  if (pixbuf != nullptr && gdk_pixbuf_get_bits_per_sample(pixbuf) == 8) {
    GBytes* pixels = gdk_pixbuf_read_pixel_bytes(pixbuf);
    image.reset(g_variant_ref_sink(g_variant_new(
                    "(iiibii@ay)", gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf),
                    gdk_pixbuf_get_rowstride(pixbuf), gdk_pixbuf_get_has_alpha(pixbuf), 8,
                    gdk_pixbuf_get_n_channels(pixbuf),
                    g_variant_new_from_bytes(G_VARIANT_TYPE_BYTESTRING, pixels, TRUE))),
                g_variant_unref);
    g_bytes_unref(pixels);
  }
  g_object_unref(loader);
  return image;
}

void show(const std::shared_ptr<Shared>& shared, const Notice& notice);

void onNotified(GObject* source, GAsyncResult* result, gpointer data) {
  const std::unique_ptr<std::shared_ptr<Shared>> owner(static_cast<std::shared_ptr<Shared>*>(data));
  Shared& shared = **owner;
  // Without a server the bus answers with an error at once.
  if (GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, nullptr)) {
    g_variant_get(reply, "(u)", &shared.shownId);
    g_variant_unref(reply);
  }
  shared.sending = false;
  if (shared.alive && shared.waiting) {
    const Notice next = std::move(*shared.waiting);
    shared.waiting.reset();
    show(*owner, next);
  }
}

// UI thread.
void show(const std::shared_ptr<Shared>& shared, const Notice& notice) {
  if (!shared->alive || shared->bus == nullptr || notice.change != shared->latest) return;
  if (shared->sending) {
    shared->waiting = notice;
    return;
  }
  GVariantBuilder hints;
  g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
  g_variant_builder_add(&hints, "{sv}", "suppress-sound", g_variant_new_boolean(TRUE));
  g_variant_builder_add(&hints, "{sv}", "desktop-entry", g_variant_new_string("tunora"));
  if (notice.picture) g_variant_builder_add(&hints, "{sv}", "image-data", notice.picture.get());
  // Servers may read the body as markup.
  gchar* body = g_markup_escape_text(notice.singer.c_str(), -1);
  GVariant* parameters = g_variant_new("(susssasa{sv}i)", "Tunora", shared->shownId, "tunora", notice.title.c_str(),
                                       body, nullptr, &hints, -1);
  g_free(body);
  shared->sending = true;
  g_dbus_connection_call(shared->bus, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                         "org.freedesktop.Notifications", "Notify", parameters, G_VARIANT_TYPE("(u)"),
                         G_DBUS_CALL_FLAGS_NONE, -1, shared->cancel, onNotified, new std::shared_ptr<Shared>(shared));
}

// A notice with its picture, from the fetch thread to the UI thread.
using Delivery = std::pair<std::shared_ptr<Shared>, Notice>;

gboolean showDelivery(gpointer data) {
  const auto* delivery = static_cast<Delivery*>(data);
  show(delivery->first, delivery->second);
  return G_SOURCE_REMOVE;
}

void freeDelivery(gpointer data) { delete static_cast<Delivery*>(data); }

void onBus(GObject*, GAsyncResult* result, gpointer data) {
  const std::unique_ptr<std::shared_ptr<Shared>> shared(static_cast<std::shared_ptr<Shared>*>(data));
  GDBusConnection* bus = g_bus_get_finish(result, nullptr);
  if (bus == nullptr) return;
  if ((*shared)->alive && (*shared)->bus == nullptr) {
    // GLib would end the process when the bus goes away; the music plays on without it.
    g_dbus_connection_set_exit_on_close(bus, FALSE);
    (*shared)->bus = bus;
  } else {
    g_object_unref(bus);
  }
}

}  // namespace

DesktopNotifier::DesktopNotifier(Services services, bool enabled)
    : services_(std::move(services)), enabled_(enabled), shared_(std::make_shared<Shared>()) {}

DesktopNotifier::~DesktopNotifier() {
  shared_->alive = false;
  g_cancellable_cancel(shared_->cancel);
}

void DesktopNotifier::start() {
  if (!enabled_ || shared_->bus != nullptr || !SessionBusKnown()) return;
  g_bus_get(G_BUS_TYPE_SESSION, shared_->cancel, onBus, new std::shared_ptr<Shared>(shared_));
}

void DesktopNotifier::songChanged(const PlayerStatus& status) {
  if (!enabled_ || shared_->bus == nullptr) return;
  if (services_.windowActive && services_.windowActive()) return;
  Notice notice;
  notice.change = ++shared_->latest;
  notice.title = platform::text::ansiToUtf8(status.title);
  notice.singer = platform::text::ansiToUtf8(status.singer);
  if (!services_.pictureOf || status.singer.empty()) {
    show(shared_, notice);
    return;
  }
  fetcher_.submit([pictureOf = services_.pictureOf, singer = status.singer, shared = shared_, notice] {
    auto* delivery = new Delivery(shared, notice);
    delivery->second.picture = imageData(pictureOf(singer));
    // Always through the window loop: the UI thread may not be in it right now.
    g_idle_add_full(G_PRIORITY_DEFAULT, showDelivery, delivery, freeDelivery);
    return true;
  });
}

}  // namespace app
