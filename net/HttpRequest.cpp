#include "net/HttpRequest.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>
#include <utility>

#include "net/CurlHandles.h"
#include "net/UrlParts.h"

namespace net {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kDefaultAccept =
    "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*";
constexpr std::string_view kFormContentType = "Content-Type: application/x-www-form-urlencoded\r\n";
// How long one wait for socket activity may last before the pump hook runs again.
constexpr int kPumpIntervalMs = 10;
constexpr long kMaxRedirects = 30;

std::atomic<long long> testingTimeoutMs{0};

std::mutex pumpHookMutex;
std::shared_ptr<const std::function<void()>> pumpHook;  // guarded by pumpHookMutex

std::shared_ptr<const std::function<void()>> currentPumpHook() {
  std::lock_guard lock(pumpHookMutex);
  return pumpHook;
}

std::chrono::milliseconds currentTimeout() {
  long long ms = testingTimeoutMs.load(std::memory_order_relaxed);
  return ms > 0 ? std::chrono::milliseconds(ms) : kHttpTimeout;
}

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool hasControlByte(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

// Anything else (user info, brackets, percent signs) would make libcurl read the URL
// differently from the way the host was split off.
bool isPlainHostName(std::string_view host) {
  return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
  });
}

// True when a line of the block starts with name (which ends in ": "), ignoring case.
bool hasHeaderLine(std::string_view block, std::string_view name) {
  size_t lineStart = 0;
  while (lineStart < block.size()) {
    std::string_view line = block.substr(lineStart, block.find('\n', lineStart) - lineStart);
    if (line.size() >= name.size() &&
        std::equal(name.begin(), name.end(), line.begin(),
                   [](char a, char b) { return lower(a) == lower(b); }))
      return true;
    size_t newline = block.find('\n', lineStart);
    if (newline == block.npos) break;
    lineStart = newline + 1;
  }
  return false;
}

void appendDefaultHeaders(std::string& block, const std::string& requestUrl) {
  // An unterminated last line would run into the first default one.
  if (!block.empty() && block.back() != '\n') block += kCrLf;
  if (!hasHeaderLine(block, "Accept: ")) block.append("Accept: ").append(kDefaultAccept) += kCrLf;
  if (!hasHeaderLine(block, "Referer: ")) block.append("Referer: ").append(requestUrl) += kCrLf;
  if (!hasHeaderLine(block, "Accept-Language: ")) block.append("Accept-Language: zh-cn") += kCrLf;
}

// The block as libcurl's custom header list, plus entries that switch off the headers
// libcurl would add on its own ("Name:" with nothing after it removes one).
bool buildHeaderList(std::string_view block, bool post, bool emptyBody, CurlList& list) {
  size_t lineStart = 0;
  while (lineStart < block.size()) {
    size_t newline = block.find('\n', lineStart);
    std::string_view line = block.substr(lineStart, newline - lineStart);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && !appendLine(list, std::string(line))) return false;
    if (newline == block.npos) break;
    lineStart = newline + 1;
  }
  if (!appendLine(list, "Expect:") || !appendLine(list, "Proxy-Connection:")) return false;
  if (post && emptyBody)
    return appendLine(list, "Content-Type:") && appendLine(list, "Content-Length:");
  return true;
}

// What the libcurl callbacks of one request share with the loop that drives it.
struct Exchange {
  std::string body;
  std::string responseHeaders;
  std::size_t headerBytes = 0;
  bool connected = false;
  Clock::time_point lastActivity = Clock::now();
  curl_off_t uploaded = 0;
};

size_t onBody(char* data, size_t size, size_t count, void* user) {
  auto& exchange = *static_cast<Exchange*>(user);
  size_t length = size * count;
  exchange.lastActivity = Clock::now();
  const void* zero = std::memchr(data, 0, length);
  size_t keep = zero ? static_cast<size_t>(static_cast<const char*>(zero) - data) : length;
  keep = std::min(keep, kHttpBodyLimit - exchange.body.size());
  exchange.body.append(data, keep);
  return keep;  // short of length ends the transfer: a zero byte or the size limit
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
  auto& exchange = *static_cast<Exchange*>(user);
  size_t length = size * count;
  exchange.lastActivity = Clock::now();
  exchange.headerBytes += length;
  if (exchange.headerBytes > kHttpHeaderLimit) return 0;
  // A status line starts the block of the next response (after a redirect or a 100).
  if (length >= 5 && std::memcmp(data, "HTTP/", 5) == 0) exchange.responseHeaders.clear();
  exchange.responseHeaders.append(data, length);
  return length;
}

int onConnected(void* user, char*, char*, int, int) {
  auto& exchange = *static_cast<Exchange*>(user);
  exchange.connected = true;
  exchange.lastActivity = Clock::now();
  return CURL_PREREQFUNC_OK;
}

struct RequestSetup {
  std::string url;
  std::string proxy;  // empty: direct
  std::string verb;   // as it goes out
  bool post = false;
  const std::string* body = nullptr;
  curl_slist* headers = nullptr;
  long timeoutMs = 0;
};

bool configure(CURL* easy, const RequestSetup& setup, Exchange& exchange) {
  auto set = [&](CURLoption option, auto value) {
    return curl_easy_setopt(easy, option, value) == CURLE_OK;
  };
  // The request itself always goes out as http; https is there for redirects to reach.
  bool ok = set(CURLOPT_URL, setup.url.c_str()) && set(CURLOPT_NOSIGNAL, 1L) &&
            set(CURLOPT_PROTOCOLS_STR, "http,https") && set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https") &&
            set(CURLOPT_FOLLOWLOCATION, 1L) && set(CURLOPT_MAXREDIRS, kMaxRedirects) &&
            set(CURLOPT_PATH_AS_IS, 1L) &&
            set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)) &&
            set(CURLOPT_HTTP_CONTENT_DECODING, 0L) && set(CURLOPT_USERAGENT, kHttpUserAgent) &&
            set(CURLOPT_HTTPHEADER, setup.headers) &&
            // An empty proxy text means "direct" and keeps the environment's proxies out.
            set(CURLOPT_PROXY, setup.proxy.c_str()) && set(CURLOPT_NOPROXY, "") &&
            set(CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP)) &&
            set(CURLOPT_CONNECTTIMEOUT_MS, setup.timeoutMs) &&
            set(CURLOPT_SHARE, processCookieShare()) && set(CURLOPT_COOKIEFILE, "") &&
            set(CURLOPT_WRITEFUNCTION, &onBody) && set(CURLOPT_WRITEDATA, &exchange) &&
            set(CURLOPT_HEADERFUNCTION, &onHeader) && set(CURLOPT_HEADERDATA, &exchange) &&
            set(CURLOPT_PREREQFUNCTION, &onConnected) && set(CURLOPT_PREREQDATA, &exchange);
  if (!ok) return false;
  if (!setup.post) return set(CURLOPT_HTTPGET, 1L);
  ok = set(CURLOPT_POST, 1L) &&
       set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(setup.body->size())) &&
       set(CURLOPT_POSTFIELDS, setup.body->data());
  // A plain POST is left to libcurl so that a redirect answered with GET really is a GET.
  if (ok && setup.verb != "POST") ok = set(CURLOPT_CUSTOMREQUEST, setup.verb.c_str());
  return ok;
}

void pumpOnce(const std::shared_ptr<const std::function<void()>>& hook) {
  if (hook && *hook) (*hook)();
}

// Drives the transfer to its end, calling the pump hook between waits. Gives up when a
// connected exchange stays silent longer than the idle limit.
void run(CURLM* multi, CURL* easy, Exchange& exchange, std::chrono::milliseconds idleLimit) {
  auto hook = currentPumpHook();
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK || running == 0) return;
    curl_off_t uploaded = 0;
    if (curl_easy_getinfo(easy, CURLINFO_SIZE_UPLOAD_T, &uploaded) == CURLE_OK &&
        uploaded != exchange.uploaded) {
      exchange.uploaded = uploaded;
      exchange.lastActivity = Clock::now();
    }
    if (exchange.connected && Clock::now() - exchange.lastActivity > idleLimit) return;
    if (curl_multi_poll(multi, nullptr, 0, kPumpIntervalMs, nullptr) != CURLM_OK) return;
    pumpOnce(hook);
  }
}

}  // namespace

std::string HttpRequest(const std::string& requestUrl, std::string* method,
                        const std::optional<std::string>& proxy, std::string* headers,
                        const std::string& body, std::string* responseHeaders) {
  if (responseHeaders) responseHeaders->clear();

  // Checked before anything is touched: a CR or LF here would end up in the Referer line.
  std::string host = HostOfUrl(requestUrl);
  int port = PortOfUrl(requestUrl);
  if (port == 0) port = 80;
  bool proxyUsable = !proxy || !hasControlByte(*proxy);
  if (hasControlByte(requestUrl) || !isPlainHostName(host) || port < 0 || port > 65535 ||
      !proxyUsable)
    return {};

  std::string localMethod;
  std::string& verb = method ? *method : localMethod;
  std::string upper = verb;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  bool post = upper == "POST";
  if (!post) verb = "GET";

  std::string localHeaders;
  std::string& block = headers ? *headers : localHeaders;
  appendDefaultHeaders(block, requestUrl);
  size_t listedLength = block.size();
  if (post && !body.empty()) {
    block += kFormContentType;
    // libcurl writes this same Content-Length line itself, right after the custom
    // headers, and leaves it out when a redirect turns the request into a GET.
    listedLength = block.size();
    block.append("Content-Length: ").append(std::to_string(body.size())) += kCrLf;
  }

  RequestSetup setup;
  setup.url = "http://" + host + ":" + std::to_string(port) + EscapeUnsafeBytes(PathOfUrl(requestUrl), "#");
  if (proxy && !proxy->empty()) setup.proxy = *proxy;
  setup.verb = verb;
  setup.post = post;
  setup.body = &body;
  std::chrono::milliseconds timeout = currentTimeout();
  setup.timeoutMs = static_cast<long>(timeout.count());

  CurlList list;
  std::string_view listed = std::string_view(block).substr(0, listedLength);
  if (!processCookieShare() || !buildHeaderList(listed, post, body.empty(), list)) return {};
  setup.headers = list.get();

  Exchange exchange;
  CurlEasy easy(curl_easy_init());
  CurlMulti multi(curl_multi_init());
  if (!easy || !multi || !configure(easy.get(), setup, exchange)) return {};
  CurlMultiAttachment attachment(multi.get(), easy.get());
  if (!attachment.attached()) return {};
  run(multi.get(), easy.get(), exchange, timeout);

  if (responseHeaders) *responseHeaders = std::move(exchange.responseHeaders);
  return std::move(exchange.body);
}

void SetHttpPumpHook(std::function<void()> hook) {
  auto stored = hook ? std::make_shared<const std::function<void()>>(std::move(hook)) : nullptr;
  std::lock_guard lock(pumpHookMutex);
  pumpHook = std::move(stored);
}

void SetHttpTimeoutForTesting(std::chrono::milliseconds timeout) {
  testingTimeoutMs.store(timeout.count() > 0 ? timeout.count() : 0, std::memory_order_relaxed);
}

}  // namespace net
