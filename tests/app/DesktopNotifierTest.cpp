// Desktop notifications on a session bus of the test's own, with a notification server of
// the test's own on it.

#include "app/DesktopNotifier.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gio/gio.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/NotificationServer.h"
#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"

namespace {

std::string commandOutput(const char* command) {
  std::string out;
  if (FILE* pipe = ::popen(command, "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
    ::pclose(pipe);
  }
  return out;
}

// A 4 x 3 PNG, as the picture service would answer.
std::string picture() {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, 4, 3);
  gdk_pixbuf_fill(pixbuf, 0x3366ccff);
  gchar* bytes = nullptr;
  gsize size = 0;
  gdk_pixbuf_save_to_buffer(pixbuf, &bytes, &size, "png", nullptr, nullptr);
  std::string png(bytes, size);
  g_free(bytes);
  g_object_unref(pixbuf);
  return png;
}

// Runs the default main context until done; false after ten seconds.
bool runUntil(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    g_main_context_iteration(nullptr, FALSE);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

app::PlayerStatus song(const std::string& title, const std::string& singer) {
  app::PlayerStatus status;
  status.state = app::PlayState::Playing;
  status.title = title;
  status.singer = singer;
  return status;
}

TEST(DesktopNotifier, OneNoticePerSongChangeWhileAnotherWindowIsActiveEachReplacingTheLast) {
  // A bus that starts no services of its own: a notification server installed on the
  // machine must not answer in the test's place.
  testsupport::TempDir dir;
  testsupport::writeFile(dir.file("bus.conf"),
                         "<busconfig><type>session</type><listen>unix:tmpdir=" + dir.path() +
                             "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\"/>"
                             "<allow receive_sender=\"*\"/><allow own=\"*\"/></policy></busconfig>");
  const std::string daemon =
      commandOutput(("dbus-daemon --fork --print-address=1 --print-pid=1 --config-file=" + dir.file("bus.conf")).c_str());
  const std::size_t newline = daemon.find('\n');
  ASSERT_NE(newline, std::string::npos) << "dbus-daemon missing (tools/debian-packages.txt)";
  const std::string address = daemon.substr(0, newline);
  const pid_t busPid = std::atoi(daemon.c_str() + newline + 1);
  ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);

  bool active = false;
  app::DesktopNotifier notifier({[&active] { return active; }, [](const std::string&) { return picture(); }}, true);
  app::DesktopNotifier switchedOff({[] { return false; }, nullptr}, false);
  notifier.start();
  switchedOff.start();
  ASSERT_TRUE(runUntil([&] { return notifier.connected(); }));

  // No server yet: the call fails at once and nothing is left waiting.
  notifier.songChanged(song("Lost", ""));
  const auto drained = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  runUntil([&] { return std::chrono::steady_clock::now() > drained; });
  clienttest::NotificationServer server(address);
  ASSERT_TRUE(server.serving());
  notifier.songChanged(song("One", "A & B"));
  ASSERT_TRUE(runUntil([&] { return server.shown.size() == 1; }));
  const clienttest::Shown& first = server.shown[0];
  EXPECT_EQ(first.app, "Tunora");
  EXPECT_EQ(first.summary, "One");
  EXPECT_EQ(first.body, "A &amp; B");
  EXPECT_EQ(first.replaces, 0u);
  EXPECT_TRUE(first.silent);
  EXPECT_EQ(first.imageWidth, 4);

  notifier.songChanged(song("Two", "A"));
  ASSERT_TRUE(runUntil([&] { return server.shown.size() == 2; }));
  EXPECT_EQ(server.shown[1].replaces, 1u);

  // Nothing while the main window is active, nor from a notifier switched off: the next
  // notice is the one after them.
  active = true;
  notifier.songChanged(song("Seen", "A"));
  active = false;
  switchedOff.songChanged(song("Off", "A"));
  EXPECT_FALSE(switchedOff.connected());
  notifier.songChanged(song("Three", ""));
  ASSERT_TRUE(runUntil([&] { return server.shown.size() == 3; }));
  EXPECT_EQ(server.shown[2].summary, "Three");
  EXPECT_EQ(server.shown[2].replaces, 2u);
  EXPECT_EQ(server.shown[2].imageWidth, 0);
  ::kill(busPid, SIGTERM);
}

}  // namespace
