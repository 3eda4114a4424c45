#include "tests/app/NotificationServer.h"

namespace clienttest {
namespace {

constexpr const char* kServerXml = R"(<node>
  <interface name="org.freedesktop.Notifications">
    <method name="Notify">
      <arg direction="in" type="s"/><arg direction="in" type="u"/><arg direction="in" type="s"/>
      <arg direction="in" type="s"/><arg direction="in" type="s"/><arg direction="in" type="as"/>
      <arg direction="in" type="a{sv}"/><arg direction="in" type="i"/><arg direction="out" type="u"/>
    </method>
  </interface>
</node>)";

}  // namespace

NotificationServer::NotificationServer(const std::string& busAddress) {
  bus_ = g_dbus_connection_new_for_address_sync(
      busAddress.c_str(),
      GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT | G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
  node_ = g_dbus_node_info_new_for_xml(kServerXml, nullptr);
  if (bus_ == nullptr || node_ == nullptr) return;
  static const GDBusInterfaceVTable vtable{onCall, nullptr, nullptr, {}};
  g_dbus_connection_register_object(bus_, "/org/freedesktop/Notifications", node_->interfaces[0], &vtable, this,
                                    nullptr, nullptr);
  GVariant* owned = g_dbus_connection_call_sync(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                "org.freedesktop.DBus", "RequestName",
                                                g_variant_new("(su)", "org.freedesktop.Notifications", 4u),
                                                G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
  if (owned == nullptr) return;
  guint32 answer = 0;
  g_variant_get(owned, "(u)", &answer);
  g_variant_unref(owned);
  serving_ = answer == 1;  // the primary owner
}

NotificationServer::~NotificationServer() {
  if (bus_ != nullptr) {
    g_dbus_connection_close_sync(bus_, nullptr, nullptr);
    g_object_unref(bus_);
  }
  if (node_ != nullptr) g_dbus_node_info_unref(node_);
}

void NotificationServer::onCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                                GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
  auto* self = static_cast<NotificationServer*>(data);
  const gchar *app = nullptr, *icon = nullptr, *summary = nullptr, *body = nullptr;
  guint32 replaces = 0;
  GVariant* actions = nullptr;
  GVariant* hints = nullptr;
  gint32 timeout = 0;
  g_variant_get(parameters, "(&su&s&s&s@as@a{sv}i)", &app, &replaces, &icon, &summary, &body, &actions, &hints,
                &timeout);
  Shown notice{app, summary, body, replaces};
  gboolean silent = FALSE;
  notice.silent = g_variant_lookup(hints, "suppress-sound", "b", &silent) && silent;
  if (GVariant* image = g_variant_lookup_value(hints, "image-data", G_VARIANT_TYPE("(iiibiiay)"))) {
    g_variant_get_child(image, 0, "i", &notice.imageWidth);
    g_variant_unref(image);
  }
  g_variant_unref(actions);
  g_variant_unref(hints);
  self->shown.push_back(notice);
  g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", static_cast<guint32>(self->shown.size())));
}

}  // namespace clienttest
