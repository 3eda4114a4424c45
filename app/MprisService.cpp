#include "app/MprisService.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/MprisProperties.h"
#include "app/SessionBus.h"

namespace app {
namespace {

constexpr const char* kSignalledProperties[] = {"PlaybackStatus", "Metadata", "Volume",  "CanGoNext",
                                                "CanGoPrevious",  "CanPlay",  "CanPause", "CanSeek"};

MprisService* self(gpointer data) { return static_cast<MprisService*>(data); }

void onMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar* interfaceName, const gchar* method,
                  GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
  self(data)->call(interfaceName, method, parameters, invocation);
}

GVariant* onGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar* interfaceName, const gchar* name,
                        GError** error, gpointer data) {
  GVariant* value = self(data)->property(interfaceName, name);
  if (value == nullptr) g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "no property %s", name);
  return value;
}

gboolean onSetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar* interfaceName, const gchar* name,
                       GVariant* value, GError** error, gpointer data) {
  return self(data)->setProperty(interfaceName, name, value, error) ? TRUE : FALSE;
}

const GDBusInterfaceVTable kVTable = {onMethodCall, onGetProperty, onSetProperty, {}};

void onBusAcquired(GDBusConnection* connection, const gchar*, gpointer data) { self(data)->busAcquired(connection); }
void onNameAcquired(GDBusConnection*, const gchar*, gpointer) {}
void onNameLost(GDBusConnection*, const gchar*, gpointer data) { self(data)->nameLost(); }

gboolean startFromIdle(gpointer data) {
  self(data)->start();
  return G_SOURCE_REMOVE;
}

// Schemes are case-insensitive: "HTTP://" is a web address too.
bool isWebAddress(const char* uri) {
  const char* scheme = g_uri_peek_scheme(uri);
  return scheme != nullptr && (std::strcmp(scheme, "http") == 0 || std::strcmp(scheme, "https") == 0);
}

}  // namespace

MprisService::MprisService(Player& player, Actions actions) : player_(player), actions_(std::move(actions)) {}

MprisService::~MprisService() { stop(); }

void MprisService::startWhenIdle() {
  if (idleId_ == 0 && ownerId_ == 0) idleId_ = g_idle_add_full(G_PRIORITY_LOW, startFromIdle, this, nullptr);
}

void MprisService::start() {
  idleId_ = 0;
  if (ownerId_ != 0 || !SessionBusKnown()) return;
  node_ = g_dbus_node_info_new_for_xml(mpris::introspectionXml(), nullptr);
  if (node_ == nullptr) return;
  ownerId_ = g_bus_own_name(G_BUS_TYPE_SESSION, kMprisBusName, G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE, onBusAcquired,
                            onNameAcquired, onNameLost, this, nullptr);
}

void MprisService::busAcquired(GDBusConnection* connection) {
  // GLib would end the process when the bus goes away; the music plays on without it.
  g_dbus_connection_set_exit_on_close(connection, FALSE);
  connection_ = connection;
  rootId_ = g_dbus_connection_register_object(connection, kMprisObjectPath,
                                              g_dbus_node_info_lookup_interface(node_, mpris::kRootInterface),
                                              &kVTable, this, nullptr, nullptr);
  playerId_ = g_dbus_connection_register_object(connection, kMprisObjectPath,
                                                g_dbus_node_info_lookup_interface(node_, mpris::kPlayerInterface),
                                                &kVTable, this, nullptr, nullptr);
  if (!exported()) {
    unexport();
    return;
  }
  told_ = player_.status();
  if (!listening_) player_.faces().addListener(this);
  listening_ = true;
}

void MprisService::nameLost() { unexport(); }

void MprisService::unexport() {
  if (listening_) player_.faces().removeListener(this);
  listening_ = false;
  if (connection_ != nullptr && rootId_ != 0) g_dbus_connection_unregister_object(connection_, rootId_);
  if (connection_ != nullptr && playerId_ != 0) g_dbus_connection_unregister_object(connection_, playerId_);
  rootId_ = 0;
  playerId_ = 0;
  connection_ = nullptr;
}

void MprisService::stop() {
  if (idleId_ != 0) g_source_remove(idleId_);
  idleId_ = 0;
  unexport();
  if (ownerId_ != 0) g_bus_unown_name(ownerId_);
  ownerId_ = 0;
  if (node_ != nullptr) g_dbus_node_info_unref(node_);
  node_ = nullptr;
}

void MprisService::call(const gchar* interfaceName, const gchar* method, GVariant* parameters,
                        GDBusMethodInvocation* invocation) {
  const std::string name = method;
  if (std::string(interfaceName) == mpris::kRootInterface) {
    // Answered first: the window may go before the loop runs again.
    g_dbus_method_invocation_return_value(invocation, nullptr);
    if (name == "Raise" && actions_.raise) actions_.raise();
    if (name == "Quit" && actions_.quit) actions_.quit();
    return;
  }
  if (name == "Play") {
    player_.play();
  } else if (name == "Pause") {
    player_.pause();
  } else if (name == "PlayPause") {
    player_.togglePause();
  } else if (name == "Stop") {
    player_.stop();
  } else if (name == "Next") {
    player_.next();
  } else if (name == "Previous") {
    player_.previous();
  } else if (name == "Seek") {
    gint64 offset = 0;
    g_variant_get(parameters, "(x)", &offset);
    player_.seekBy(static_cast<double>(offset) / 1e6);
  } else if (name == "SetPosition") {
    const gchar* track = nullptr;
    gint64 position = 0;
    g_variant_get(parameters, "(&ox)", &track, &position);
    const PlayerStatus now = player_.status();
    // A stale track id or a place outside the song is ignored, as the interface asks.
    if (mpris::trackId(now) == track && position >= 0 && static_cast<double>(position) / 1e6 <= now.length) {
      player_.seekTo(static_cast<double>(position) / 1e6);
    }
  } else if (name == "OpenUri") {
    const gchar* uri = nullptr;
    g_variant_get(parameters, "(&s)", &uri);
    if (!isWebAddress(uri)) {
      g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS,
                                            "only http and https addresses play");
      return;
    }
    player_.playAddress(uri);
  }
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

GVariant* MprisService::property(const gchar* interfaceName, const gchar* name) {
  if (std::string(interfaceName) == mpris::kRootInterface) return mpris::rootProperty(name);
  return mpris::playerProperty(name, player_.status());
}

bool MprisService::setProperty(const gchar* interfaceName, const gchar* name, GVariant* value, GError** error) {
  const std::string property = name;
  const bool player = std::string(interfaceName) == mpris::kPlayerInterface;
  if (player && property == "Volume") {
    const double level = g_variant_get_double(value);
    if (!std::isfinite(level)) {
      g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS, "no volume %f", level);
      return false;
    }
    player_.changeVolume(static_cast<int>(std::lround(std::clamp(level, 0.0, 1.0) * 100.0)));
    return true;
  }
  // One speed only: any rate asked for stays 1.
  if (player && property == "Rate") return true;
  g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_PROPERTY_READ_ONLY, "%s cannot be set", name);
  return false;
}

void MprisService::playerChanged(const PlayerStatus& status) {
  emitChanges(told_, status);
  told_ = status;
}

void MprisService::emitChanges(const PlayerStatus& before, const PlayerStatus& now) {
  if (connection_ == nullptr) return;
  GVariantBuilder changed;
  g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
  bool any = false;
  for (const char* name : kSignalledProperties) {
    GVariant* old = g_variant_ref_sink(mpris::playerProperty(name, before));
    GVariant* fresh = g_variant_ref_sink(mpris::playerProperty(name, now));
    if (!g_variant_equal(old, fresh)) {
      g_variant_builder_add(&changed, "{sv}", name, fresh);
      any = true;
    }
    g_variant_unref(old);
    g_variant_unref(fresh);
  }
  if (!any) {
    g_variant_builder_clear(&changed);
    return;
  }
  GVariantBuilder invalidated;
  g_variant_builder_init(&invalidated, G_VARIANT_TYPE("as"));
  g_dbus_connection_emit_signal(connection_, nullptr, kMprisObjectPath, "org.freedesktop.DBus.Properties",
                                "PropertiesChanged",
                                g_variant_new("(sa{sv}as)", mpris::kPlayerInterface, &changed, &invalidated), nullptr);
}

void MprisService::seeked(std::int64_t positionMicroseconds) {
  if (connection_ == nullptr) return;
  g_dbus_connection_emit_signal(connection_, nullptr, kMprisObjectPath, mpris::kPlayerInterface, "Seeked",
                                g_variant_new("(x)", static_cast<gint64>(positionMicroseconds)), nullptr);
}

}  // namespace app
