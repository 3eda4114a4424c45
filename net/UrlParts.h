#pragma once
// Splitting a request URL into what a connection needs. Only the "http://" form is
// understood; everything after the host and port, query included, is the path. None of
// these fail: odd input gives odd but well-defined pieces.

#include <string>

namespace net {

// Host name in lower case, without the port.
std::string HostOfUrl(const std::string& url);

// The port after the first ":" of the authority; 80 without one; 0 when it has no digits.
int PortOfUrl(const std::string& url);

// From the first "/" after the host to the end, or "/" when there is none.
std::string PathOfUrl(const std::string& url);

}  // namespace net
