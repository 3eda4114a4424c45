#include <mutex>

#include "platform/gfx/gdiplus/GdiplusHandles.h"

namespace platform::gfx {

namespace {

struct Session {
  ULONG_PTR token = 0;
  bool ok = false;
  Session() {
    Gdiplus::GdiplusStartupInput input;
    ok = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }
  ~Session() {
    if (ok) Gdiplus::GdiplusShutdown(token);
  }
};

}  // namespace

bool gdiplusReady() {
  static Session session;  // a function-local static starts once, thread-safely
  return session.ok;
}

}  // namespace platform::gfx
