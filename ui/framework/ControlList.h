#pragma once
// The control list of each attached window and the routines that find and address
// controls in it. Indexes into a list count from 1 (0 = no control); later records lie on
// top. Every routine answers 0 / nullptr / false for an invalid window or control index and
// does nothing else. UI thread only.

#include <optional>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "ui/framework/ControlObject.h"

namespace ui {

using platform::gfx::RectF;

struct ControlRecord {
  HWND hostWindow = nullptr;
  RectF bounds;  // client coordinates
  int controlId = 0;
  ControlObject* object = nullptr;  // owned by whoever declared the control
  int reserved = 0;
  int kind = 0;
  bool visible = true;
  bool takesPress = false;
  bool enabled = true;
};

using ControlList = std::vector<ControlRecord>;

struct ControlPlacement {
  RectF bounds;
  int kind = 0;
  bool visible = true;
  bool takesPress = false;
  int reserved = 0;
};

// Appends a record for control to the list of the window attached to host, with the
// smallest id that no control of that window uses, and tells the control its window index
// and id. Returns the id; 0 when host is not an attached window or the control already
// has an id (it keeps its first one).
int registerControl(ControlObject& control, HWND host, const ControlPlacement& placement);

int windowIndexOf(HWND host);
int controlIndexOf(int windowIndex, int controlId);
bool isValid(int windowIndex, int controlIndex, bool checkControl);
// The record at a list index, nullptr when invalid.
ControlRecord* controlRecord(int windowIndex, int controlIndex);
ControlList* controlList(int windowIndex);

// Topmost visible control containing the point packed in lParam (signed 16-bit halves);
// returns its list index and puts its id in controlId (0 and 0 when none).
int hitTest(int windowIndex, LPARAM lParam, int* controlId = nullptr);

// Calls the control's handler, then its subscribers for that message. Unless forced, an
// invisible or disabled control gets nothing and 0 is answered.
LRESULT sendToControl(int windowIndex, int controlIndex, HWND host, UINT message, WPARAM wParam,
                      LPARAM lParam, bool force = false);

// Moves a record: mode 1 to the front of the list (beneath all others); any other mode
// just ahead of the first caption button, or to the end when there is none. Returns the
// new list index. Interaction indexes (hover, press, focus) follow the record.
int reorderControl(int windowIndex, int controlIndex, int mode);

// Control timers: id = (controlIndex << 16) | windowIndex on the host window; the host
// delivers their WM_TIMER to that control. Without an interval, the framework default.
bool setControlTimer(int windowIndex, int controlIndex, std::optional<int> intervalMs = std::nullopt);
bool killControlTimer(int windowIndex, int controlIndex);

}  // namespace ui
