#pragma once
// The process-wide list of attached windows, addressed from 1. An entry keeps its index
// for the whole run: detaching a window empties its slot instead of moving the ones
// after it, so the indices other windows and their controls hold stay right.
// UI thread only.

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Graphics.h"
#include "platform/gfx/Surface.h"
#include "platform/window/WindowTypes.h"
#include "ui/framework/ControlList.h"

namespace ui {

class ExWindow;

using WindowHandle = platform::window::HWND;
using WindowProcedure = platform::window::WNDPROC;

// An off-screen surface with its graphics object (anti-aliased, grid-fitted text).
struct WindowSurface {
  platform::gfx::Surface pixels;
  std::unique_ptr<platform::gfx::Graphics> graphics;

  // Drops the old surface and graphics first; false when the size cannot be made.
  bool recreate(int width, int height, double scale);
  bool valid() const { return pixels.valid(); }
};

// Which controls the pointer, a press and the keyboard are with (list indexes, 0 = none).
struct Interaction {
  int focused = 0;
  int hovered = 0;
  int pressed = 0;
  bool captureActive = false;
  // The focus came from the keyboard (Tab, Shift+Tab, focusControl), so it shows its look.
  bool focusByKey = false;
};

struct WindowEntry {
  platform::gfx::RectI windowRect;  // screen coordinates
  WindowProcedure installedProcedure = nullptr;
  ExWindow* window = nullptr;
  int applicationValue = 1;
  int entryValueA = 0;
  int windowAlpha = -1;  // -1 opaque, else 0..255
  WindowHandle handle = nullptr;
  WindowSurface composed;
  WindowSurface background;
  ControlList controls;
  Interaction interaction;
  // Access keys of push buttons: control id -> upper-case key. A control that goes takes
  // its key along, so the id's next owner is not clicked by it.
  std::map<int, int> accessKeys;
};

class WindowTable {
 public:
  // Appends an entry and returns its index (old count + 1).
  int append(std::unique_ptr<WindowEntry> entry);
  // nullptr for an index outside 1..count or an emptied slot.
  WindowEntry* at(int index) const;
  // Index of the live entry for a window handle, 0 when none.
  int indexOf(WindowHandle handle) const;
  // Frees the entry's surfaces and empties its slot.
  void remove(int index);
  int count() const { return static_cast<int>(entries_.size()); }

 private:
  std::vector<std::unique_ptr<WindowEntry>> entries_;
};

}  // namespace ui
