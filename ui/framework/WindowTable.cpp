#include "ui/framework/WindowTable.h"

namespace ui {

bool WindowSurface::recreate(int width, int height, double scale) {
  graphics.reset();
  pixels = platform::gfx::Surface::createScaled(width, height, scale);
  if (!pixels.valid()) return false;
  graphics = std::make_unique<platform::gfx::Graphics>(pixels);
  graphics->setSmoothing(platform::gfx::kSmoothingAntiAlias);
  graphics->setTextRendering(platform::gfx::kTextAntiAliasGridFit);
  return true;
}

int WindowTable::append(std::unique_ptr<WindowEntry> entry) {
  entries_.push_back(std::move(entry));
  return count();
}

WindowEntry* WindowTable::at(int index) const {
  if (index < 1 || index > count()) return nullptr;
  return entries_[static_cast<std::size_t>(index) - 1].get();
}

int WindowTable::indexOf(WindowHandle handle) const {
  for (int i = 0; i < count(); ++i) {
    if (entries_[static_cast<std::size_t>(i)] && entries_[static_cast<std::size_t>(i)]->handle == handle) return i + 1;
  }
  return 0;
}

void WindowTable::remove(int index) {
  if (index >= 1 && index <= count()) entries_[static_cast<std::size_t>(index) - 1].reset();
}

}  // namespace ui
