#include "app/UiRequest.h"

#include <mutex>

#include "net/HttpRequest.h"
#include "platform/window/WindowApi.h"

namespace app {

std::string RequestOnUiThread(const std::string& url, std::string* responseHeaders) {
  static std::once_flag hookSet;
  std::call_once(hookSet, [] {
    net::SetHttpPumpHook([] {
      // Workers make requests too; only the UI thread may dispatch.
      if (platform::window::isUiThread()) platform::window::processPendingMessages();
    });
  });
  return net::HttpRequest(url, nullptr, std::nullopt, nullptr, {}, responseHeaders);
}

}  // namespace app
