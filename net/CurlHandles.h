#pragma once
// The libcurl handle owners the HTTP client uses, and the one cookie store that all
// requests of the process share.

#include <string>

#include "platform/curl/CurlHandles.h"

namespace net {

using platform::curl::CurlEasy;
using platform::curl::CurlList;
using platform::curl::CurlMulti;
using platform::curl::CurlMultiAttachment;

// Initialises libcurl once (thread-safe) and returns the process-wide share handle that
// holds the cookies; null when libcurl could not be initialised. Safe to use from several
// threads at once: the share handle locks itself.
CURLSH* processCookieShare();

// Appends one line to a header list; false when libcurl could not allocate it (the list
// stays as it was).
bool appendLine(CurlList& list, const std::string& line);

}  // namespace net
