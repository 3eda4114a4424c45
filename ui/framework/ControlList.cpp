#include "ui/framework/ControlList.h"

#include <algorithm>

#include "ui/framework/Drawing.h"
#include "ui/framework/Framework.h"
#include "platform/window/UiThread.h"
#include "ui/framework/WindowClass.h"

namespace ui {

namespace pw = platform::window;

namespace {

// Timer ids carry the two indexes in 16 bits each.
constexpr int kMaxIndex = 0xFFFF;

WindowEntry* liveEntry(int windowIndex) { return framework().windows.at(windowIndex); }

bool idTaken(const ControlList& list, int id) {
  return std::any_of(list.begin(), list.end(),
                     [id](const ControlRecord& r) { return r.object != nullptr && r.controlId == id; });
}

// Where an index that pointed at `from` points after the record moved to `to`.
int followMove(int index, int from, int to) {
  if (index == 0) return 0;
  if (index == from) return to;
  if (from < to && index > from && index <= to) return index - 1;
  if (to < from && index >= to && index < from) return index + 1;
  return index;
}

}  // namespace

void forgetControl(ControlObject& control) {
  WindowEntry* entry = liveEntry(control.windowIndex());
  if (entry == nullptr) return;
  for (std::size_t i = 0; i < entry->controls.size(); ++i) {
    ControlRecord& record = entry->controls[i];
    if (record.object != &control) continue;
    record.object = nullptr;
    record.visible = false;
    entry->accessKeys.erase(record.controlId);
    // Its timer would otherwise tick on for nobody.
    const auto timerId = (static_cast<UINT_PTR>(i + 1) << 16) | static_cast<UINT_PTR>(control.windowIndex());
    pw::KillTimer(entry->handle, timerId);
    const int index = static_cast<int>(i) + 1;
    Interaction& in = entry->interaction;
    if (in.focused == index) in.focused = 0;
    if (in.hovered == index) in.hovered = 0;
    if (in.pressed == index) {
      in.pressed = 0;
      in.captureActive = false;
    }
  }
}

ControlObject::~ControlObject() { forgetControl(*this); }

int registerControl(ControlObject& control, HWND host, const ControlPlacement& placement) {
  TUNORA_ASSERT_UI_THREAD();
  const int windowIndex = windowIndexOf(host);
  WindowEntry* entry = liveEntry(windowIndex);
  if (entry == nullptr || control.id() != 0) return 0;
  if (entry->controls.size() >= static_cast<std::size_t>(kMaxIndex)) return 0;
  int id = 1;
  while (idTaken(entry->controls, id)) ++id;
  ControlRecord record;
  record.hostWindow = host;
  record.bounds = placement.bounds;
  record.controlId = id;
  record.object = &control;
  record.reserved = placement.reserved;
  record.kind = placement.kind;
  record.visible = placement.visible;
  record.takesPress = placement.takesPress;
  entry->controls.push_back(record);
  control.assignIdentity(windowIndex, id);
  return id;
}

int windowIndexOf(HWND host) {
  if (host == nullptr) return 0;
  return framework().windows.indexOf(host);
}

int controlIndexOf(int windowIndex, int controlId) {
  const WindowEntry* entry = liveEntry(windowIndex);
  if (entry == nullptr || controlId <= 0) return 0;
  for (std::size_t i = 0; i < entry->controls.size(); ++i) {
    const ControlRecord& r = entry->controls[i];
    if (r.object != nullptr && r.controlId == controlId) return static_cast<int>(i) + 1;
  }
  return 0;
}

bool isValid(int windowIndex, int controlIndex, bool checkControl) {
  const WindowEntry* entry = liveEntry(windowIndex);
  if (entry == nullptr) return false;
  if (!checkControl) return true;
  return controlIndex >= 1 && controlIndex <= static_cast<int>(entry->controls.size());
}

ControlRecord* controlRecord(int windowIndex, int controlIndex) {
  if (!isValid(windowIndex, controlIndex, true)) return nullptr;
  return &liveEntry(windowIndex)->controls[static_cast<std::size_t>(controlIndex) - 1];
}

ControlList* controlList(int windowIndex) {
  WindowEntry* entry = liveEntry(windowIndex);
  return entry ? &entry->controls : nullptr;
}

int hitTest(int windowIndex, LPARAM lParam, int* controlId) {
  if (controlId) *controlId = 0;
  const WindowEntry* entry = liveEntry(windowIndex);
  if (entry == nullptr) return 0;
  const int x = pw::loWordSigned(lParam);
  const int y = pw::hiWordSigned(lParam);
  for (std::size_t i = entry->controls.size(); i-- > 0;) {
    const ControlRecord& r = entry->controls[i];
    if (!r.visible || r.object == nullptr) continue;
    if (pointInRect(r.bounds, static_cast<float>(x), static_cast<float>(y))) {
      if (controlId) *controlId = r.controlId;
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

LRESULT sendToControl(int windowIndex, int controlIndex, HWND host, UINT message, WPARAM wParam,
                      LPARAM lParam, bool force) {
  TUNORA_ASSERT_UI_THREAD();
  const ControlRecord* record = controlRecord(windowIndex, controlIndex);
  if (record == nullptr || record->object == nullptr) return 0;
  if (!force && (!record->visible || !record->enabled)) return 0;
  ControlObject* object = record->object;
  const LRESULT result = object->onMessage(host, message, wParam, lParam, windowIndex, controlIndex);
  // The handler may have changed the list (or destroyed the control): look again.
  record = controlRecord(windowIndex, controlIndex);
  if (record == nullptr || record->object != object) return result;
  std::vector<ControlObject::Subscriber> listeners;
  for (const auto& s : object->subscriptions()) {
    if (s.message == message) listeners.push_back(s.fn);
  }
  for (const auto& fn : listeners) {
    if (fn) fn(windowIndex, controlIndex, wParam, lParam);
  }
  return result;
}

int reorderControl(int windowIndex, int controlIndex, int mode) {
  TUNORA_ASSERT_UI_THREAD();
  if (!isValid(windowIndex, controlIndex, true)) return 0;
  WindowEntry& entry = *liveEntry(windowIndex);
  ControlList& list = entry.controls;
  const ControlRecord moved = list[static_cast<std::size_t>(controlIndex) - 1];
  list.erase(list.begin() + (controlIndex - 1));
  std::size_t at = 0;
  if (mode != 1) {
    const auto caption = std::find_if(list.begin(), list.end(),
                                      [](const ControlRecord& r) { return r.kind == kKindCaptionButton; });
    at = static_cast<std::size_t>(caption - list.begin());
  }
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), moved);
  const int to = static_cast<int>(at) + 1;
  Interaction& in = entry.interaction;
  in.focused = followMove(in.focused, controlIndex, to);
  in.hovered = followMove(in.hovered, controlIndex, to);
  in.pressed = followMove(in.pressed, controlIndex, to);
  return to;
}

bool setControlTimer(int windowIndex, int controlIndex, std::optional<int> intervalMs) {
  TUNORA_ASSERT_UI_THREAD();
  if (!isValid(windowIndex, controlIndex, true) || windowIndex > kMaxIndex || controlIndex > kMaxIndex) {
    return false;
  }
  const auto id = (static_cast<UINT_PTR>(controlIndex) << 16) | static_cast<UINT_PTR>(windowIndex);
  return setTimer(liveEntry(windowIndex)->handle, id, intervalMs) != 0;
}

bool killControlTimer(int windowIndex, int controlIndex) {
  TUNORA_ASSERT_UI_THREAD();
  if (!isValid(windowIndex, controlIndex, true) || windowIndex > kMaxIndex || controlIndex > kMaxIndex) {
    return false;
  }
  const auto id = (static_cast<UINT_PTR>(controlIndex) << 16) | static_cast<UINT_PTR>(windowIndex);
  return pw::KillTimer(liveEntry(windowIndex)->handle, id);
}

}  // namespace ui
