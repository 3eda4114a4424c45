#include "app/ServiceAddress.h"

#include <cstdlib>

#include "app/VolumeSetting.h"
#include "net/QueryEncoding.h"
#include "platform/system/ProfileFile.h"

namespace app {
namespace {

constexpr char kSearchPath[] = "/api/songlist2?query=";
constexpr char kSearchTail[] = "&ie=utf-8&type=search&id=1&jsoncallback=jsonp1344355138823";
constexpr char kLinksPath[] = "/api/links2?query=";
constexpr char kLinksTail[] = "&id=1&jsoncallback=jsonp1344356068549";

bool isHostCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '-';
}

bool isPort(std::string_view text) {
  if (text.empty() || text.size() > 5) return false;
  int port = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    port = port * 10 + (c - '0');
  }
  return port >= 1 && port <= 65535;
}

}  // namespace

std::string ServiceAddressFrom(const char* value) {
  if (value == nullptr) return kDefaultServiceAddress;
  const std::string_view text(value);
  const auto colon = text.rfind(':');
  if (colon == std::string_view::npos || colon == 0) return kDefaultServiceAddress;
  const std::string_view host = text.substr(0, colon);
  for (char c : host) {
    if (!isHostCharacter(c)) return kDefaultServiceAddress;
  }
  if (!isPort(text.substr(colon + 1))) return kDefaultServiceAddress;
  return std::string(text);
}

std::string ServiceAddress() { return ServiceAddress(VolumeSettingPath()); }

std::string ServiceAddress(const std::string& iniPath) {
  if (const char* variable = std::getenv(kServiceAddressVariable); variable != nullptr) {
    return ServiceAddressFrom(variable);
  }
  const std::string stored = platform::system::GetPrivateProfileString("parameter", kServiceAddressKey, "", iniPath);
  return ServiceAddressFrom(stored.empty() ? nullptr : stored.c_str());
}

std::string SearchRequestUrl(std::string_view keyword) {
  return "http://" + ServiceAddress() + kSearchPath + net::EncodeQueryText(keyword) + kSearchTail;
}

std::string LinksRequestUrl(std::string_view title, std::string_view singer) {
  return "http://" + ServiceAddress() + kLinksPath + net::EncodeQueryText(title) + net::EncodeQueryText(singer) +
         kLinksTail;
}

}  // namespace app
