#include "tests/app/MainWindowFixture.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/MainWindowControls.h"
#include "app/MainWindowStart.h"
#include "resources/ResourcePackageWriter.h"
#include "tests/support/TestPictures.h"
#include "ui/controls/ControlsStart.h"

namespace apptest {

int pictureIndex(const resources::ExImage& image) {
  return image.GetHandle() == nullptr ? -1 : image.GetHeight() - 1;
}

std::string buttonPackage(int count) {
  std::vector<platform::system::ByteBlock> entries;
  for (int i = 0; i < count; ++i) {
    entries.push_back(testpictures::encodeSolid("png", 1, i + 1, 0xFF000000u | static_cast<std::uint32_t>(i * 8)));
  }
  return resources::PackResourceEntries(entries).value_or(std::string{});
}

void MainWindowFixture::SetUp() {
  desk = &pw::HeadlessBackend::install();
  ui::controls::start();
  pw::WNDCLASSEXA wc;
  wc.style = pw::CS_DBLCLKS;
  wc.lpfnWndProc = pw::DefWindowProcA;
  wc.hCursor = pw::LoadCursorA(nullptr, pw::IDC_ARROW);
  wc.lpszClassName = "MainWindowTestHost";
  pw::RegisterClassExA(&wc);
  char pattern[] = "/tmp/tunora-main-window-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  folder_ = pattern;
  parts = std::make_unique<app::MainWindowParts>();
}

void MainWindowFixture::TearDown() {
  if (hwnd != nullptr && pw::IsWindow(hwnd)) pw::DestroyWindow(hwnd);
  parts.reset();
  std::error_code ignored;
  std::filesystem::permissions(folder_, std::filesystem::perms::owner_all, ignored);
  std::filesystem::remove_all(folder_, ignored);
}

std::string MainWindowFixture::writeFile(const std::string& name, const std::string& bytes) const {
  const std::string path = folder_ + "/" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

void MainWindowFixture::buildWindow(const platform::system::ByteBlock& skin, int storedVolume) {
  hwnd = pw::CreateWindowExA(0, "MainWindowTestHost", "main", pw::WS_POPUP | pw::WS_SYSMENU | pw::WS_MINIMIZEBOX, 50,
                             50, 296, 657, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  parts->hwnd = hwnd;
  ASSERT_TRUE(app::AttachMainWindow(*parts, hwnd, {skin}));
  pw::ShowWindow(hwnd, pw::SW_SHOWNORMAL);
  app::CreateMainWindowControls(*parts, [storedVolume] { return storedVolume; });
  parts->activeTab = 1;
  desk->pump();
}

}  // namespace apptest
