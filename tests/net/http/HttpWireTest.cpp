// The exact bytes HttpRequest puts on the wire, captured by a bare listener.

#include <gtest/gtest.h>

#include <string>

#include "net/HttpRequest.h"
#include "tests/net/http/RawHttpListener.h"

namespace net {
namespace {

using test::RawHttpListener;

const std::string kOk = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\nhello";
const std::string kAccept =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
    "application/x-shockwave-flash, application/vnd.ms-excel, "
    "application/vnd.ms-powerpoint, application/msword, */*\r\n";
const std::string kUserAgent = "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n";

std::string hostPort(int port) { return "127.0.0.1:" + std::to_string(port); }

std::string baseUrl(const RawHttpListener& listener) {
  return "http://" + hostPort(listener.port());
}

// The block a caller without headers of its own ends up with.
std::string defaultBlock(const std::string& url) {
  return kAccept + "Referer: " + url + "\r\nAccept-Language: zh-cn\r\n";
}

std::string request(const std::string& line, int port, const std::string& block,
                    const std::string& body = {}) {
  return line + "\r\nHost: " + hostPort(port) + "\r\n" + kUserAgent + block + "\r\n" + body;
}

// The one request the listener saw, or a note that it saw a different number.
std::string onlyRequest(const RawHttpListener& listener) {
  auto requests = listener.requests();
  if (requests.size() != 1) return "<" + std::to_string(requests.size()) + " requests>";
  return requests.front();
}

TEST(HttpWire, GetSendsObjectPathHostAgentAndDefaultBlock) {
  RawHttpListener listener(kOk);
  std::string url = baseUrl(listener) + "/api/songlist2?query=abc&page=1";
  EXPECT_EQ(HttpRequest(url), "hello");
  EXPECT_EQ(onlyRequest(listener), request("GET /api/songlist2?query=abc&page=1 HTTP/1.1",
                                           listener.port(), defaultBlock(url)));

  RawHttpListener bare(kOk);
  std::string noPath = baseUrl(bare);
  EXPECT_EQ(HttpRequest(noPath), "hello");
  EXPECT_EQ(onlyRequest(bare), request("GET / HTTP/1.1", bare.port(), defaultBlock(noPath)));
}

TEST(HttpWire, CallerHeadersKeepTheirPlaceAndSuppressDefaultsIgnoringCase) {
  RawHttpListener listener(kOk);
  std::string url = baseUrl(listener) + "/p";
  // "X-Accept" is not an Accept line; the last line lacks its CR LF.
  std::string headers = "aCCEPT: text/plain\r\nX-Accept: 1\r\nREFERER: http://elsewhere/";
  HttpRequest(url, nullptr, std::nullopt, &headers);
  std::string expectedBlock =
      "aCCEPT: text/plain\r\nX-Accept: 1\r\nREFERER: http://elsewhere/\r\n"
      "Accept-Language: zh-cn\r\n";
  EXPECT_EQ(headers, expectedBlock);
  EXPECT_EQ(onlyRequest(listener), request("GET /p HTTP/1.1", listener.port(), expectedBlock));
}

TEST(HttpWire, PostCarriesFormHeadersOnlyWithABody) {
  const std::string form = "Content-Type: application/x-www-form-urlencoded\r\n";
  {
    RawHttpListener listener(kOk);
    std::string url = baseUrl(listener) + "/form";
    std::string method = "POST";
    std::string headers;
    EXPECT_EQ(HttpRequest(url, &method, std::nullopt, &headers, "a=1&b=2"), "hello");
    std::string block = defaultBlock(url) + form + "Content-Length: 7\r\n";
    EXPECT_EQ(method, "POST");
    EXPECT_EQ(headers, block);
    EXPECT_EQ(onlyRequest(listener),
              request("POST /form HTTP/1.1", listener.port(), block, "a=1&b=2"));
  }
  {
    RawHttpListener listener(kOk);
    std::string url = baseUrl(listener) + "/form";
    std::string method = "post";
    std::string headers;
    HttpRequest(url, &method, std::nullopt, &headers);
    EXPECT_EQ(headers, defaultBlock(url));
    EXPECT_EQ(onlyRequest(listener),
              request("post /form HTTP/1.1", listener.port(), defaultBlock(url)));
  }
  {
    RawHttpListener listener(kOk);
    std::string url = baseUrl(listener) + "/form";
    std::string method = "Post";
    HttpRequest(url, &method, std::nullopt, nullptr, "x");
    EXPECT_EQ(method, "Post");
    EXPECT_EQ(onlyRequest(listener),
              request("Post /form HTTP/1.1", listener.port(),
                      defaultBlock(url) + form + "Content-Length: 1\r\n", "x"));
  }
}

TEST(HttpWire, AnyOtherMethodBecomesGetWithoutBody) {
  for (std::string method : {"PUT", "", "posts", "get"}) {
    RawHttpListener listener(kOk);
    std::string url = baseUrl(listener) + "/x";
    std::string headers;
    HttpRequest(url, &method, std::nullopt, &headers, "ignored=1");
    EXPECT_EQ(method, "GET");
    EXPECT_EQ(headers, defaultBlock(url));
    EXPECT_EQ(onlyRequest(listener),
              request("GET /x HTTP/1.1", listener.port(), defaultBlock(url)));
  }
}

TEST(HttpWire, BlanksAndHighBytesOfThePathArrivePercentEncoded) {
  RawHttpListener listener(kOk);
  // "周 杰" in GBK, unencoded as a keyword with a blank reaches this layer.
  std::string url = baseUrl(listener) + "/api/songlist2?query=\xD6\xDC \xBD\xDC&n=%41";
  HttpRequest(url);
  EXPECT_EQ(onlyRequest(listener),
            request("GET /api/songlist2?query=%D6%DC%20%BD%DC&n=%41 HTTP/1.1", listener.port(),
                    defaultBlock(url)));
}

TEST(HttpWire, ProxyGetsTheAbsoluteUrl) {
  RawHttpListener proxy(kOk);
  RawHttpListener target(kOk);  // must stay untouched
  std::string url = baseUrl(target) + "/p?q=1";
  EXPECT_EQ(HttpRequest(url, nullptr, hostPort(proxy.port())), "hello");
  EXPECT_EQ(onlyRequest(proxy),
            request("GET " + url + " HTTP/1.1", target.port(), defaultBlock(url)));
  EXPECT_EQ(target.connections(), 0);
}

TEST(HttpWire, UrlWithControlBytesNeverReachesTheWire) {
  RawHttpListener listener(kOk);
  std::string base = baseUrl(listener) + "/p?q=";
  for (std::string tail :
       {std::string("a\r\nX-Injected: 1"), std::string("a\nb"), std::string("\x01"),
        std::string("\x7F"), std::string("a\0b", 3), std::string("\t")}) {
    std::string method = "PUT";
    std::string headers = "X-Mine: 1\r\n";
    std::string responseHeaders = "stale";
    EXPECT_EQ(HttpRequest(base + tail, &method, std::nullopt, &headers, {}, &responseHeaders), "");
    EXPECT_EQ(method, "PUT");
    EXPECT_EQ(headers, "X-Mine: 1\r\n");
    EXPECT_EQ(responseHeaders, "");
  }
  // A host that is not a plain name (user info here) is refused as well.
  EXPECT_EQ(HttpRequest("http://user@" + hostPort(listener.port()) + "/"), "");
  EXPECT_EQ(HttpRequest("http://127.0.0.1:" + std::to_string(listener.port()) + "/", nullptr,
                        "127.0.0.1:1\r\nX: 1"),
            "");
  EXPECT_EQ(listener.connections(), 0);
}

}  // namespace
}  // namespace net
