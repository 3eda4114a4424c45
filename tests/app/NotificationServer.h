#pragma once
// A desktop notification server of the test's own (org.freedesktop.Notifications) on a
// given bus: it records what it is asked to show and answers with ids 1, 2, 3 and so on.
// It answers from the thread-default main context of the thread that made it.

#include <gio/gio.h>

#include <cstdint>
#include <string>
#include <vector>

namespace clienttest {

struct Shown {
  std::string app, summary, body;
  std::uint32_t replaces = 0;
  bool silent = false;
  int imageWidth = 0;  // 0: no picture
};

class NotificationServer {
 public:
  explicit NotificationServer(const std::string& busAddress);
  ~NotificationServer();
  NotificationServer(const NotificationServer&) = delete;
  NotificationServer& operator=(const NotificationServer&) = delete;

  // False when the bus or the name could not be had.
  bool serving() const { return serving_; }

  std::vector<Shown> shown;

 private:
  static void onCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
                     GDBusMethodInvocation* invocation, gpointer data);

  GDBusConnection* bus_ = nullptr;
  GDBusNodeInfo* node_ = nullptr;
  bool serving_ = false;
};

}  // namespace clienttest
