#include "net/UrlParts.h"

#include <gtest/gtest.h>

namespace {

struct UrlCase {
  const char* url;
  const char* host;
  int port;
  const char* path;
};

void PrintTo(const UrlCase& c, std::ostream* os) { *os << '"' << c.url << '"'; }

class UrlPartsTest : public testing::TestWithParam<UrlCase> {};

TEST_P(UrlPartsTest, SplitsIntoHostPortAndPath) {
  const UrlCase& c = GetParam();
  EXPECT_EQ(net::HostOfUrl(c.url), c.host) << c.url;
  EXPECT_EQ(net::PortOfUrl(c.url), c.port) << c.url;
  EXPECT_EQ(net::PathOfUrl(c.url), c.path) << c.url;
}

INSTANTIATE_TEST_SUITE_P(
    Urls, UrlPartsTest,
    testing::Values(
        UrlCase{"http://Host.Name:8080/a/b?x=1", "host.name", 8080, "/a/b?x=1"},
        UrlCase{"HTTP://EXAMPLE.org/Path", "example.org", 80, "/Path"},
        UrlCase{"http://h", "h", 80, "/"},
        UrlCase{"http://h/", "h", 80, "/"},
        UrlCase{"h:81/p", "h", 81, "/p"},
        UrlCase{"http://h:/p", "h", 0, "/p"},
        UrlCase{"http://h:x/p", "h", 0, "/p"},
        UrlCase{"http://h:99999999999/p", "h", 2147483647, "/p"},
        UrlCase{"https://a/b", "https", 0, "//a/b"},
        UrlCase{"http://h/api?query=a b", "h", 80, "/api?query=a b"},
        UrlCase{"", "", 80, "/"},
        UrlCase{"http://", "", 80, "/"},
        UrlCase{"/only/path", "", 80, "/only/path"}));

TEST(UrlParts, AHostThatAlsoOccursInTheSchemeStillGivesThePath) {
  EXPECT_EQ(net::PathOfUrl("http://tp/x"), "/x");
  EXPECT_EQ(net::PathOfUrl("http://http/x"), "/x");
  EXPECT_EQ(net::PathOfUrl("http://p:80/x"), "/x");
}

TEST(UrlParts, PathSearchesTheHostIgnoringCase) {
  // The host is lower-cased, yet the path starts after the host as written.
  EXPECT_EQ(net::PathOfUrl("http://MiXeD:1/x/y"), "/x/y");
}

TEST(UrlParts, OnlyTheHostIsLowerCased) {
  // The host also occurs in the path, written otherwise: lower-casing must not reach it,
  // whichever piece is asked for first.
  const std::string url = "http://Host:8/Path/HOST?Q=A";
  EXPECT_EQ(net::PathOfUrl(url), "/Path/HOST?Q=A");
  EXPECT_EQ(net::HostOfUrl(url), "host");
  EXPECT_EQ(net::PortOfUrl(url), 8);
  EXPECT_EQ(net::PathOfUrl(url), "/Path/HOST?Q=A");
  EXPECT_EQ(net::PathOfUrl("HOST:9/Host"), "/Host");
}

}  // namespace

TEST(UrlParts, UnsafeBytesAreEscapedAndTheRestLeftAlone) {
  EXPECT_EQ(net::EscapeUnsafeBytes("/a b?q=\xB0\xD7&x=%41#top"), "/a%20b?q=%B0%D7&x=%41#top");
  EXPECT_EQ(net::EscapeUnsafeBytes("/a b#top", "#"), "/a%20b%23top");
  EXPECT_EQ(net::EscapeUnsafeBytes(""), "");
}
