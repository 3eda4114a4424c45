#include "platform/curl/CurlHandles.h"

namespace platform::curl {

bool curlReady() {
  // Never cleaned up: a download still running on a worker thread at exit must not find
  // libcurl gone.
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

}  // namespace platform::curl
