#include "platform/audio/Reconnection.h"

#include <iterator>

#include "platform/audio/NetWaits.h"

namespace platform::audio {

bool Reconnection::worthRetrying(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_SSL_CONNECT_ERROR:  // a reset during the handshake looks like this
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
      return true;
    default:
      return false;
  }
}

bool Reconnection::worthRetrying(long status) {
  return status == 408 || status == 429 || (status >= 500 && status < 600);
}

std::optional<Reconnection::Clock::time_point> Reconnection::failed(Clock::time_point now) {
  if (!brokeAt_) brokeAt_ = now;
  if (tries_ >= static_cast<int>(std::size(netwaits::kRetryPauses))) return std::nullopt;
  Clock::time_point next = now + netwaits::scaled(netwaits::kRetryPauses[tries_]);
  // A try that could not begin before the limit would only delay giving up.
  if (next >= giveUpAt()) return std::nullopt;
  ++tries_;
  return next;
}

Reconnection::Clock::time_point Reconnection::giveUpAt() const {
  if (!brokeAt_) return Clock::time_point::max();
  return *brokeAt_ + netwaits::scaled(netwaits::kGiveUpAfter);
}

}  // namespace platform::audio
