#pragma once
// Splitting a request URL into what a connection needs. Only the "http://" form is
// understood; everything after the host and port, query included, is the path. None of
// these fail: odd input gives odd but well-defined pieces.

#include <string>
#include <string_view>

namespace net {

// Host name in lower case, without the port.
std::string HostOfUrl(const std::string& url);

// The port after the first ":" of the authority; 80 without one; 0 when it has no digits.
int PortOfUrl(const std::string& url);

// From the first "/" after the host to the end, or "/" when there is none.
std::string PathOfUrl(const std::string& url);

// Blanks, bytes above ASCII and the characters of alsoEscape written as %XX, everything
// else as it stands: what a request line or libcurl accepts of a URL typed by a person.
std::string EscapeUnsafeBytes(std::string_view text, std::string_view alsoEscape = {});

}  // namespace net
