#include <windows.h>

#include <string>

#include "app/ProgramTexts.h"
#include "app/RunningClient.h"
#include "platform/text/CodePage.h"

namespace app {

// Looked up before our own window exists, through the system itself, since the running
// client is another process.
bool ShowRunningClient() {
  const std::u16string title = platform::text::ansiToWide(MainWindowTitle());
  const HWND running = ::FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(title.c_str()));
  if (running == nullptr) return false;
  if (::IsIconic(running)) ::ShowWindow(running, SW_RESTORE);
  ::SetForegroundWindow(running);
  return true;
}

}  // namespace app
