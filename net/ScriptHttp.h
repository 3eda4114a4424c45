#pragma once
// The program's second HTTP client: one synchronous request with a free verb, optional
// credentials and one optional header, returning the raw response body. Unlike
// HttpRequest it never pumps window messages, never cuts the body at a zero byte and adds
// no header block of its own.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "platform/system/ByteBlock.h"

namespace net {

using platform::system::ByteBlock;

// Longest wait for the connection (name lookup included), and for the whole exchange.
inline constexpr std::chrono::milliseconds kScriptHttpConnectTimeout{10000};
inline constexpr std::chrono::milliseconds kScriptHttpTransferTimeout{60000};

// Largest body accepted; a longer one gives an empty result instead of exhausting memory.
inline constexpr std::size_t kScriptHttpBodyLimit = 32u * 1024 * 1024;

// Performs one request and returns the body bytes unchanged, whatever the HTTP status.
// Empty when the request could not be set up or did not complete (refused, timed out,
// reset, over the size limit): a partial body is never returned as if it were whole.
//
//   url          absolute http:// or https:// URL; redirects are followed to those two
//                schemes only. A URL holding a control byte is refused.
//   method       in/out, may be null. Null or empty optional: "get", and a given variable
//                is set to "get". GET, HEAD, POST, PUT, DELETE and OPTIONS are sent in
//                upper case whatever case the caller used; other verbs go out as written.
//   body         sent for every verb but GET and HEAD; omitted = empty.
//   headerName   with headerValue, the one extra request header; it replaces the default
//                Content-Type rule. A name that is not an HTTP token or a value with CR,
//                LF or NUL is refused (empty result, nothing sent).
//   user         with password, Basic credentials for the server (and for redirects to
//                the same host only). A password without a user is not used.
//
// Without a header name, a "post" in any case sends
// "Content-Type: application/x-www-form-urlencoded"; other verbs send no Content-Type.
// Blocks the calling thread for the whole exchange (within the time-outs above).
ByteBlock ScriptHttp(const std::string& url, std::optional<std::string>* method = nullptr,
                     const std::optional<ByteBlock>& body = std::nullopt,
                     const std::optional<std::string>& headerName = std::nullopt,
                     const std::optional<std::string>& headerValue = std::nullopt,
                     const std::optional<std::string>& user = std::nullopt,
                     const std::optional<std::string>& password = std::nullopt);

// Testing hook only: replaces both time-outs for the requests that start afterwards;
// zero or less restores the constants above.
void SetScriptHttpTimeoutsForTesting(std::chrono::milliseconds connect,
                                     std::chrono::milliseconds transfer);

}  // namespace net
