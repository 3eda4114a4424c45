#pragma once
// Where the song-search service is asked, and the two request URLs built on it. The
// paths, the query texts and the callback names are the service's and never change.

#include <string>
#include <string_view>

namespace app {

inline constexpr char kDefaultServiceAddress[] = "127.0.0.1:8725";
inline constexpr char kServiceAddressVariable[] = "TUNORA_SERVICE";
// The settings file's key for it, beside the volume; the variable wins over it.
inline constexpr char kServiceAddressKey[] = "service address";

// "host:port" from the given value when it is one (a plain host name or IPv4 address and
// a port 1..65535), else the default.
std::string ServiceAddressFrom(const char* value);
// The same for TUNORA_SERVICE or, when it is unset, the settings file's key, read on
// every call.
std::string ServiceAddress();
// The same with the settings file at iniPath.
std::string ServiceAddress(const std::string& iniPath);

// The search request for a keyword (GBK), encoded for the query.
std::string SearchRequestUrl(std::string_view keyword);
// The links request: the encoded title directly followed by the encoded singer.
std::string LinksRequestUrl(std::string_view title, std::string_view singer);

}  // namespace app
