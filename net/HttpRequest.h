#pragma once
// The program's one general HTTP client: a complete, synchronous request that returns the
// response body as text. The request on the wire is the one a classic desktop browser
// component sends: the object path in the request line, Host, the fixed User-Agent below,
// then the header block (see HttpRequest). Redirects are followed to http and to https
// (the certificate checked against the system's authorities), never to other schemes;
// cookies live in one in-memory store shared by all calls of the process, nothing is
// cached, the HTTP status is not looked at: an error page comes back like any other body.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace net {

inline constexpr char kHttpUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// Connect limit, and the longest the exchange may stay silent (nothing sent or received)
// once connected. A slow body that keeps arriving is never cut off.
inline constexpr std::chrono::milliseconds kHttpTimeout{18000};

// Largest body kept; reading stops there and the bytes read so far are returned.
inline constexpr std::size_t kHttpBodyLimit = 16u * 1024 * 1024;

// Largest response header block accepted over the whole exchange (redirects included); a
// server that goes past it gets the request abandoned, with an empty result.
inline constexpr std::size_t kHttpHeaderLimit = 1024u * 1024;

// Performs one request and returns the body, bytes unchanged (no character-set
// conversion); the text ends at the body's first zero byte, if any. Empty when the
// connection could not be made or nothing was received; a failure part-way returns what
// had arrived.
//
//   requestUrl       "http://host[:port]/path?query"; split by HostOfUrl, PortOfUrl and
//                    PathOfUrl, and sent as the Referer. A URL holding a control byte
//                    (below 0x20, or 0x7F) or a host that is not a plain name is refused:
//                    nothing is sent, the in/out arguments stay as they are, the result
//                    is empty. In the request line a blank goes out as %20 and each byte
//                    of 0x80 and above as %XX; "#" as %23 so it is not taken for a fragment.
//   method           in/out, may be null (= "GET"). "POST" in any letter case selects POST
//                    and is sent as written ("Post" goes out as Post); anything else is
//                    replaced by "GET" in the caller's variable.
//   proxy            when given and not empty, the HTTP proxy "host:port" to go through;
//                    otherwise the connection is direct (environment proxies are ignored).
//   headers          in/out, may be null (= empty). Extra header lines, each ending in
//                    CR LF. On return it holds the whole block that was sent: the caller's
//                    lines, then whichever of Accept, Referer and Accept-Language they lack
//                    (names compared ignoring case), then for a POST with a body
//                    Content-Type and Content-Length.
//   body             the POST body, sent unchanged; ignored for GET.
//   responseHeaders  out, may be null. The raw header block of the final response, status
//                    line first, lines as the server ended them, up to the blank line;
//                    empty when no response came.
//
// Blocks the calling thread; between reads it calls the pump hook (SetHttpPumpHook).
// Calls on different threads are independent apart from the shared cookie store.
std::string HttpRequest(const std::string& requestUrl, std::string* method = nullptr,
                        const std::optional<std::string>& proxy = std::nullopt,
                        std::string* headers = nullptr, const std::string& body = {},
                        std::string* responseHeaders = nullptr);

// Sets what HttpRequest calls between reads, on the thread that made the request (so a
// hook that dispatches window messages must check it is on the UI thread). It must not
// throw. An empty function restores the default, which does nothing. A request takes the
// hook that is set when it starts.
void SetHttpPumpHook(std::function<void()> hook);

// Testing hook only: replaces kHttpTimeout (connect and idle limit) for the requests that
// start afterwards; zero or less restores kHttpTimeout.
void SetHttpTimeoutForTesting(std::chrono::milliseconds timeout);

}  // namespace net
