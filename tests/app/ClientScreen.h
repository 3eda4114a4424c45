#pragma once
// What the end-to-end tests do on the private X server: pointer and keys through xdotool
// at the main window's own coordinates, screenshots, pixels read back, and the fixture
// that starts the client and finds its window.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/app/ClientSession.h"

namespace clienttest {

// Where the window appears on the screen, in window units.
inline constexpr int kLeft = 50;
inline constexpr int kTop = 50;
// Row 1 of the result list, and the list's area.
inline constexpr int kRowOneY = 251 + 8;
inline constexpr int kListX = 7, kListY = 251, kListWidth = 283, kListHeight = 350;

// The whole percent a slider reports for a click at window x: the thumb's half width (9)
// is taken off both ends of the track.
inline double sliderValueAt(int x, int left, int width) { return (x - left - 9) * 100.0 / (width - 18); }

// Screen pixels per window unit: TUNORA_TEST_SCALE, which a run gives the client as
// GDK_SCALE too; 1 when unset. Clicks and grabs below take window units.
int screenScale();

void settle(int ms);
void xdotool(const std::string& args);
// Moves to a point of the window and clicks (twice for a double click).
void clickAt(int x, int y, int clicks = 1);
// Rests the pointer away from the window, so no control shows its hover look.
void movePointerAway();
// A screenshot of the whole screen in the test's temp folder; its path (also printed).
std::string screenshot(const std::string& name);

// An area of the window as the screen shows it, 0xRRGGBB per unit (the pixel at its
// top-left corner), row by row; empty when it cannot be read.
std::vector<std::uint32_t> grabArea(int x, int y, int width, int height);
// How many pixels differ between two grabs of the same area, by more than tolerance in
// a channel.
int differingPixels(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int tolerance = 0);

class ClientOnScreen : public ::testing::Test {
 protected:
  void SetUp() override;

  // Starts the client and waits for its window; the controls come from the init thread
  // right after it maps.
  std::unique_ptr<Client> start(int servicePort = 0);
  // Types a singer into the search box and presses Enter.
  void search(const std::string& utf8);
  // Searches and waits until the result list shows rows.
  void searchUntilListed(const std::string& utf8);
  // Closes the window with its close button and expects the process to end with 0.
  void closeAndExpectZero(Client& client);

  ProgramCopy copy_;
  std::string windowId_;
};

}  // namespace clienttest
