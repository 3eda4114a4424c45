#include "net/ScriptHttp.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <string_view>

#include "net/CurlHandles.h"
#include "net/HttpRequest.h"
#include "net/UrlParts.h"

namespace net {
namespace {

constexpr long kMaxRedirects = 30;
constexpr std::array<std::string_view, 6> kStandardVerbs = {"GET", "HEAD", "POST", "PUT", "DELETE",
                                                            "OPTIONS"};

std::atomic<long long> testingConnectMs{0};
std::atomic<long long> testingTransferMs{0};

std::string upperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) { return upperCase(a) == upperCase(b); }

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool hasControlByte(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

bool isToken(std::string_view name) {
  static constexpr std::string_view kTokenPunctuation = "!#$%&'*+-.^_`|~";
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || kTokenPunctuation.find(c) != std::string_view::npos;
  });
}

bool isHeaderValue(std::string_view value) {
  return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// The verb as it goes out: the standard ones in upper case, as servers expect them.
std::string wireVerb(const std::string& verb) {
  std::string upper = upperCase(verb);
  bool standard = std::find(kStandardVerbs.begin(), kStandardVerbs.end(), upper) != kStandardVerbs.end();
  return standard ? upper : verb;
}

// The caller's header, or the form type for a post; "Name:" alone keeps libcurl from
// adding that header on its own.
bool buildHeaderList(const std::string& verb, const std::optional<std::string>& headerName,
                     const std::optional<std::string>& headerValue, CurlList& list) {
  bool contentTypeGiven = false;
  if (headerName) {
    const std::string value = headerValue.value_or(std::string());
    // "Name;" is how libcurl is told to send a header with an empty value.
    if (!appendLine(list, value.empty() ? *headerName + ";" : *headerName + ": " + value)) return false;
    contentTypeGiven = equalsIgnoringCase(*headerName, "Content-Type");
  } else if (equalsIgnoringCase(verb, "post")) {
    if (!appendLine(list, "Content-Type: application/x-www-form-urlencoded")) return false;
    contentTypeGiven = true;
  }
  if (!contentTypeGiven && !appendLine(list, "Content-Type:")) return false;
  return appendLine(list, "Expect:");
}

struct Exchange {
  ByteBlock body;
  bool overLimit = false;
};

size_t onBody(char* data, size_t size, size_t count, void* user) {
  auto& exchange = *static_cast<Exchange*>(user);
  size_t length = size * count;
  if (length > kScriptHttpBodyLimit - exchange.body.size()) {
    exchange.overLimit = true;
    return 0;  // ends the transfer with an error
  }
  exchange.body.insert(exchange.body.end(), data, data + length);
  return length;
}

long limitMs(const std::atomic<long long>& testing, std::chrono::milliseconds fallback) {
  long long ms = testing.load(std::memory_order_relaxed);
  return static_cast<long>(ms > 0 ? ms : fallback.count());
}

}  // namespace

ByteBlock ScriptHttp(const std::string& url, std::optional<std::string>* method,
                     const std::optional<ByteBlock>& body, const std::optional<std::string>& headerName,
                     const std::optional<std::string>& headerValue, const std::optional<std::string>& user,
                     const std::optional<std::string>& password) {
  std::optional<std::string> localMethod;
  std::optional<std::string>& verbSlot = method ? *method : localMethod;
  if (!verbSlot || verbSlot->empty()) verbSlot = "get";
  const std::string verb = wireVerb(*verbSlot);

  if (hasControlByte(url) || hasControlByte(verb) || verb.find(' ') != std::string::npos ||
      !(startsWithIgnoringCase(url, "http://") || startsWithIgnoringCase(url, "https://")))
    return {};
  if (headerName && (!isToken(*headerName) || !isHeaderValue(headerValue.value_or(std::string()))))
    return {};

  CurlList headers;
  if (!processCookieShare() || !buildHeaderList(*verbSlot, headerName, headerValue, headers)) return {};

  CurlEasy easy(curl_easy_init());
  if (!easy) return {};
  // libcurl refuses a raw blank or a byte above ASCII; a browser sends them escaped.
  const std::string wireUrl = EscapeUnsafeBytes(url);
  static const char kNoBody[] = "";
  const bool withBody = verb != "GET" && verb != "HEAD";
  const char* bodyData = body && !body->empty() ? reinterpret_cast<const char*>(body->data()) : kNoBody;
  const auto bodySize = static_cast<curl_off_t>(body ? body->size() : 0);

  Exchange exchange;
  auto set = [&](CURLoption option, auto value) { return curl_easy_setopt(easy.get(), option, value) == CURLE_OK; };
  bool ok = set(CURLOPT_URL, wireUrl.c_str()) && set(CURLOPT_NOSIGNAL, 1L) &&
            set(CURLOPT_PROTOCOLS_STR, "http,https") && set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https") &&
            set(CURLOPT_FOLLOWLOCATION, 1L) && set(CURLOPT_MAXREDIRS, kMaxRedirects) &&
            set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)) &&
            set(CURLOPT_HTTP_CONTENT_DECODING, 0L) && set(CURLOPT_USERAGENT, kHttpUserAgent) &&
            set(CURLOPT_HTTPHEADER, headers.get()) &&
            // An empty proxy text keeps the environment's proxies out.
            set(CURLOPT_PROXY, "") && set(CURLOPT_NOPROXY, "") &&
            set(CURLOPT_CONNECTTIMEOUT_MS, limitMs(testingConnectMs, kScriptHttpConnectTimeout)) &&
            set(CURLOPT_TIMEOUT_MS, limitMs(testingTransferMs, kScriptHttpTransferTimeout)) &&
            set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kScriptHttpBodyLimit)) &&
            set(CURLOPT_SHARE, processCookieShare()) && set(CURLOPT_COOKIEFILE, "") &&
            set(CURLOPT_WRITEFUNCTION, &onBody) && set(CURLOPT_WRITEDATA, &exchange);
  if (ok && user) {
    ok = set(CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC)) && set(CURLOPT_USERNAME, user->c_str()) &&
         set(CURLOPT_PASSWORD, password.value_or(std::string()).c_str());
  }
  if (ok && verb == "HEAD") ok = set(CURLOPT_NOBODY, 1L);
  if (ok && verb == "GET") ok = set(CURLOPT_HTTPGET, 1L);
  if (ok && withBody) {
    ok = set(CURLOPT_POST, 1L) && set(CURLOPT_POSTFIELDSIZE_LARGE, bodySize) &&
         set(CURLOPT_POSTFIELDS, bodyData);
    // A plain POST is left to libcurl so that a redirect answered with GET really is a GET.
    if (ok && verb != "POST") ok = set(CURLOPT_CUSTOMREQUEST, verb.c_str());
  }
  if (!ok) return {};

  if (curl_easy_perform(easy.get()) != CURLE_OK || exchange.overLimit) return {};
  return std::move(exchange.body);
}

void SetScriptHttpTimeoutsForTesting(std::chrono::milliseconds connect, std::chrono::milliseconds transfer) {
  testingConnectMs.store(connect.count() > 0 ? connect.count() : 0, std::memory_order_relaxed);
  testingTransferMs.store(transfer.count() > 0 ? transfer.count() : 0, std::memory_order_relaxed);
}

}  // namespace net
