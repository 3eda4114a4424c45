// Paints the main window's client area on the headless desktop, with the client files of a
// folder (skin, button package, preset list), and writes it to a PNG: the same picture made
// on each system shows what their drawing back ends make of one window.
//   tunora-main-window-shot <client folder> <picture.png>

#include <cstdio>
#include <string>

#include "app/MainWindowControls.h"
#include "app/MainWindowParts.h"
#include "app/MainWindowStart.h"
#include "app/PresetList.h"
#include "audio/AudioEngine.h"
#include "platform/gfx/Surface.h"
#include "platform/window/WindowApi.h"
#include "platform/window/headless/HeadlessBackend.h"
#include "tests/support/TestPictures.h"
#include "ui/controls/ControlsStart.h"

namespace pw = platform::window;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <client folder> <picture.png>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  pw::HeadlessBackend& desk = pw::HeadlessBackend::install();
  ui::controls::start();
  pw::WNDCLASSEXA wc;
  wc.style = pw::CS_DBLCLKS;
  wc.lpfnWndProc = pw::DefWindowProcA;
  wc.hCursor = pw::LoadCursorA(nullptr, pw::IDC_ARROW);
  wc.lpszClassName = "MainWindowShot";
  pw::RegisterClassExA(&wc);
  pw::HWND hwnd = pw::CreateWindowExA(0, "MainWindowShot", "Tunora", pw::WS_POPUP | pw::WS_SYSMENU | pw::WS_MINIMIZEBOX,
                                      50, 50, 296, 657, nullptr, nullptr);
  app::MainWindowParts parts;
  parts.hwnd = hwnd;
  audio::AudioEngine engine;
  const int pictures = app::LoadButtonImages(parts, engine, folder + "/Resource/Resu.rdb");
  if (!app::AttachMainWindow(parts, hwnd, {app::ReadSkinPicture(folder + "/Resource/skin.png")})) return 1;
  pw::ShowWindow(hwnd, pw::SW_SHOWNORMAL);
  app::CreateMainWindowControls(parts, [] { return 50; });
  parts.activeTab = 1;
  app::LoadPresetList(folder, parts.presetList, parts.presetImages);
  parts.host.redraw();
  desk.pump();

  pw::RECT client{};
  pw::GetClientRect(hwnd, &client);
  platform::gfx::Surface shot = platform::gfx::Surface::create(client.right, client.bottom);
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) shot.setPixel(x, y, platform::gfx::unpremultiply(desk.pixel(hwnd, x, y)));
  }
  std::printf("%d button pictures, %d x %d\n", pictures, client.right, client.bottom);
  return testpictures::saveSurface(shot, argv[2]) ? 0 : 1;
}
