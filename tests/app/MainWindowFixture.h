#pragma once
// A headless desktop with a window attached as the main window is, a parts instance of
// its own and a generated button package whose picture i is 1 pixel wide and i + 1 high,
// so a button's picture tells its index.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/MainWindowParts.h"
#include "platform/window/WindowApi.h"
#include "platform/window/headless/HeadlessBackend.h"

namespace apptest {

namespace pw = platform::window;

// The table index a picture was made for, -1 for an empty picture.
int pictureIndex(const resources::ExImage& image);

// Package bytes of count pictures made as above.
std::string buttonPackage(int count);

class MainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A fresh temporary folder for files of the test.
  std::string folder() const { return folder_; }
  std::string writeFile(const std::string& name, const std::string& bytes) const;
  // Attaches with the skin bytes given and creates the 20 controls.
  void buildWindow(const platform::system::ByteBlock& skin = {}, int storedVolume = 50);

  pw::HeadlessBackend* desk = nullptr;
  std::unique_ptr<app::MainWindowParts> parts;
  pw::HWND hwnd = nullptr;

 private:
  std::string folder_;
};

}  // namespace apptest
