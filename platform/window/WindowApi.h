#pragma once
// The window system, shaped like the user32 calls that the framework and the application
// make. Texts are bytes of the ANSI code page (GBK). The UI thread is the thread that
// installed the back end (the first caller, when none was installed), which happens
// before any other thread starts: a worker's first call must not be the one that
// installs it. Calls from other
// threads run on the UI thread and wait until its loop or processPendingMessages serves
// them; PostMessageA only queues. The loop calls themselves (GetMessageA, PeekMessageA,
// processPendingMessages) belong to the UI thread and fail elsewhere. Calls on a handle
// that is not a window do nothing and return 0/false/null.
//
// The back end is chosen once (BackendChoice.h): GTK on X11, or the in-memory desktop of
// headless/HeadlessBackend.h for tests, which HeadlessBackend::install() sets up afresh.
//
// Where these differ from their namesakes:
// - CreateWindowExA has no menu or instance arguments; windows are top-level (parent is
//   the owner).
// - GetClientRect gives (0, 0, width, height): the whole window is client area.
// - TranslateMessage does nothing: WM_CHAR messages are queued straight after their
//   WM_KEYDOWN, text committed by the input method as one WM_CHAR per GBK byte.
// - UpdateLayeredWindow and the paint copy take a PixelView instead of a device context.

#include <functional>
#include <optional>
#include <string>

#include "platform/window/Icons.h"
#include "platform/window/Region.h"
#include "platform/window/WindowConstants.h"
#include "platform/window/WindowTypes.h"

namespace platform::window {

// Classes. Names compare without regard to ASCII case; registering a name twice fails.
UINT RegisterClassExA(const WNDCLASSEXA* wc);
bool UnregisterClassA(const char* className);
bool GetClassInfoExA(const char* className, WNDCLASSEXA* out);
UINT_PTR GetClassLongPtrA(HWND hwnd, int index);

// Windows. WM_NCCREATE, WM_CREATE (lParam: CREATESTRUCTA*), WM_GETMINMAXINFO, WM_SIZE
// and WM_MOVE reach the procedure before this returns; WM_CREATE answering -1 fails it.
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                     int x, int y, int width, int height, HWND owner, void* param);
bool DestroyWindow(HWND hwnd);
bool IsWindow(HWND hwnd);
bool IsWindowVisible(HWND hwnd);
bool IsWindowEnabled(HWND hwnd);
// A disabled window gets no mouse or keyboard input. Returns whether it was disabled.
bool EnableWindow(HWND hwnd, bool enable);
long GetWindowLongA(HWND hwnd, int index);  // GWL_STYLE, GWL_EXSTYLE
long SetWindowLongA(HWND hwnd, int index, long value);
WNDPROC GetWindowProc(HWND hwnd);
// Installs proc and returns the one it replaces, for chaining with CallWindowProcA.
WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc);
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
HWND GetOwner(HWND hwnd);
bool SetPropA(HWND hwnd, const char* name, std::intptr_t value);
std::intptr_t GetPropA(HWND hwnd, const char* name);
std::intptr_t RemovePropA(HWND hwnd, const char* name);
// Sends WM_SETTEXT; DefWindowProcA stores the text and shows it as the native title.
bool SetWindowTextA(HWND hwnd, const char* text);
std::string GetWindowTextA(HWND hwnd);
bool ShowWindow(HWND hwnd, int command);  // returns whether it was visible
bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint);
bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags);
bool GetWindowRect(HWND hwnd, RECT* out);  // screen coordinates
bool GetClientRect(HWND hwnd, RECT* out);
bool ClientToScreen(HWND hwnd, POINT* point);
bool ScreenToClient(HWND hwnd, POINT* point);
bool IsZoomed(HWND hwnd);
bool IsIconic(HWND hwnd);
// Finds a top-level window by exact title (and class, for our own windows), also in
// other processes; ShowWindow on such a handle shows, de-iconifies and raises it.
HWND FindWindowA(const char* className, const char* title);
Region CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth,
                          int ellipseHeight);
// Pixels and clicks outside the region fall through; nullopt removes it.
bool SetWindowRgn(HWND hwnd, std::optional<Region> region, bool redraw);
std::optional<Region> GetWindowRgn(HWND hwnd);
bool SetLayeredWindowAttributes(HWND hwnd, DWORD colorKey, BYTE alpha, DWORD flags);

// Pixels. The window shows exactly what was last pushed: UpdateLayeredWindow replaces the
// image (per-pixel alpha; position and size change the window first) or, given dirty (window
// coordinates), only that rectangle of it, so a small change uploads only itself. Window
// pixel (x, y) comes from source pixel (x + sourceOrigin.x, y + sourceOrigin.y). PaintPixels
// copies one rectangle at the same coordinates (the BitBlt of a WM_PAINT handler).
bool UpdateLayeredWindow(HWND hwnd, const POINT* position, const SIZE* size, PixelView source,
                         POINT sourceOrigin, BYTE constantAlpha = 255,
                         const RECT* dirty = nullptr);
bool PaintPixels(HWND hwnd, PixelView source, const RECT& rect);
// Device pixels per unit of the window's image, what its surfaces are made at; 1 for no
// window. WM_DPICHANGED tells when it changes.
double GetWindowScale(HWND hwnd);
bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase);
bool ValidateRect(HWND hwnd, const RECT* rect);
bool GetUpdateRect(HWND hwnd, RECT* out);
RECT BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
bool UpdateWindow(HWND hwnd);

// Messages.
LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
bool PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// 1 for a message, 0 for WM_QUIT, -1 off the UI thread. Loops may nest.
int GetMessageA(MSG* msg, HWND filter, UINT first, UINT last);
bool PeekMessageA(MSG* msg, HWND filter, UINT first, UINT last, UINT removeFlags);
bool TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
// Dispatches what is pending now, without waiting; a WM_QUIT stays for the loop.
void processPendingMessages();
// Runs fn on the UI thread and waits until it is done; at once when called there.
void invokeOnUiThread(const std::function<void()>& fn);
bool isUiThread();

// Time, from the back end: the test clock on the headless desktop. Sleep on the UI thread
// blocks it without serving messages or timers (there it only moves the test clock); on
// other threads it sleeps in real time. GetTickCount may be called from any thread.
void Sleep(DWORD ms);
DWORD GetTickCount();

// Timers: WM_TIMER with wParam = id on the window's thread; setting an id again restarts it.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT intervalMs, void* callback = nullptr);
bool KillTimer(HWND hwnd, UINT_PTR id);

// Input state.
short GetKeyState(int virtualKey);  // negative while the key is down
bool GetCursorPos(POINT* out);
HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND GetActiveWindow();
HWND GetForegroundWindow();
bool SetForegroundWindow(HWND hwnd);
struct TRACKMOUSEEVENT {
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
};
bool TrackMouseEvent(TRACKMOUSEEVENT* request);
HCURSOR SetCursor(HCURSOR cursor);

// System menu (restore, move, minimise, maximise, close). TrackPopupMenu shows it at a
// screen point and waits; the choice is posted as WM_COMMAND with the SC_ code.
HMENU GetSystemMenu(HWND hwnd, bool revert);
bool TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                    const RECT* ignored);

}  // namespace platform::window
