#include "platform/window/gtk/GtkKeys.h"

#include <gdk/gdk.h>

#include "platform/window/WindowConstants.h"

namespace platform::window {

int virtualKeyFromGdk(unsigned keyval) {
  if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z) return static_cast<int>(keyval - GDK_KEY_a) + 'A';
  if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) return static_cast<int>(keyval - GDK_KEY_A) + 'A';
  if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return static_cast<int>(keyval - GDK_KEY_0) + '0';
  if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9) return static_cast<int>(keyval - GDK_KEY_KP_0) + VK_NUMPAD0;
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12) return static_cast<int>(keyval - GDK_KEY_F1) + VK_F1;
  switch (keyval) {
    case GDK_KEY_Return: case GDK_KEY_KP_Enter: case GDK_KEY_ISO_Enter: return VK_RETURN;
    case GDK_KEY_Tab: case GDK_KEY_ISO_Left_Tab: case GDK_KEY_KP_Tab: return VK_TAB;
    case GDK_KEY_Escape: return VK_ESCAPE;
    case GDK_KEY_space: case GDK_KEY_KP_Space: return VK_SPACE;
    case GDK_KEY_BackSpace: return VK_BACK;
    case GDK_KEY_Delete: case GDK_KEY_KP_Delete: return VK_DELETE;
    case GDK_KEY_Insert: case GDK_KEY_KP_Insert: return VK_INSERT;
    case GDK_KEY_Home: case GDK_KEY_KP_Home: return VK_HOME;
    case GDK_KEY_End: case GDK_KEY_KP_End: return VK_END;
    case GDK_KEY_Left: case GDK_KEY_KP_Left: return VK_LEFT;
    case GDK_KEY_Right: case GDK_KEY_KP_Right: return VK_RIGHT;
    case GDK_KEY_Up: case GDK_KEY_KP_Up: return VK_UP;
    case GDK_KEY_Down: case GDK_KEY_KP_Down: return VK_DOWN;
    case GDK_KEY_Page_Up: case GDK_KEY_KP_Page_Up: return VK_PRIOR;
    case GDK_KEY_Page_Down: case GDK_KEY_KP_Page_Down: return VK_NEXT;
    case GDK_KEY_Shift_L: case GDK_KEY_Shift_R: return VK_SHIFT;
    case GDK_KEY_Control_L: case GDK_KEY_Control_R: return VK_CONTROL;
    case GDK_KEY_Alt_L: case GDK_KEY_Alt_R: case GDK_KEY_Meta_L: case GDK_KEY_Meta_R: return VK_MENU;
    // The media keys of a keyboard; pausing alone is the Pause key's code.
    case GDK_KEY_Pause: case GDK_KEY_AudioPause: return VK_PAUSE;
    case GDK_KEY_AudioPlay: return VK_MEDIA_PLAY_PAUSE;
    case GDK_KEY_AudioStop: return VK_MEDIA_STOP;
    case GDK_KEY_AudioNext: return VK_MEDIA_NEXT_TRACK;
    case GDK_KEY_AudioPrev: return VK_MEDIA_PREV_TRACK;
    case GDK_KEY_Caps_Lock: return VK_CAPITAL;
    case GDK_KEY_KP_Multiply: return VK_MULTIPLY;
    case GDK_KEY_KP_Add: return VK_ADD;
    case GDK_KEY_KP_Subtract: return VK_SUBTRACT;
    case GDK_KEY_KP_Decimal: return VK_DECIMAL;
    case GDK_KEY_KP_Divide: return VK_DIVIDE;
    default: return 0;
  }
}

}  // namespace platform::window
