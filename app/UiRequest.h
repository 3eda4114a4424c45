#pragma once

#include <string>

namespace app {

// HttpRequest (a GET with the default headers) made on the UI thread: pending window
// messages are dispatched between reads, so the window keeps painting and its timers run.
// Handlers reached that way may start a request of their own. responseHeaders, when
// given, receives the answer's header block: empty when no answer came at all.
std::string RequestOnUiThread(const std::string& url, std::string* responseHeaders = nullptr);

}  // namespace app
