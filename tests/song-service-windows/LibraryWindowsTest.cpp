// The song service's library on Windows: a generated folder with tags in several scripts,
// covers, untagged and damaged files, plus files named inside and outside GBK, indexed,
// searched and served over HTTP, and a file added while it runs.

#include <gtest/gtest.h>
#include <httplib.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "platform/system/WideText.h"
#include "platform/text/CodePage.h"
#include "tools/song-service/SongService.h"
#include "tools/song-service/library/Library.h"
#include "tools/song-service/library/LibrarySource.h"

namespace fs = std::filesystem;
using namespace songservice;

namespace {

const char* kTail = "&ie=utf-8&type=search&id=1&jsoncallback=jsonp1344355138823";

std::string slashed(const fs::path& path) {
  std::string text = platform::system::narrow(path.wstring());
  for (char& c : text)
    if (c == '\\') c = '/';
  return text;
}

// Every byte but letters and digits percent-encoded, as the client sends a query.
std::string encoded(const std::string& utf8) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : utf8) {
    if (std::isalnum(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

fs::path wide(const std::string& utf8) { return fs::path(platform::system::widen(utf8)); }

std::string bytesOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string between(const std::string& text, const std::string& left, const std::string& right) {
  std::size_t start = text.find(left);
  if (start == std::string::npos) return {};
  start += left.size();
  std::size_t end = text.find(right, start);
  return end == std::string::npos ? std::string() : text.substr(start, end - start);
}

class LibraryOnWindows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* generated = std::getenv("TUNORA_GENERATED_LIBRARY");
    ASSERT_NE(generated, nullptr);
    generated_ = generated;
    added_ = fs::temp_directory_path() / L"tunora-library-added";
    fs::remove_all(added_);
    fs::create_directories(added_);
    // Untagged: the titles come from these names.
    const fs::path untagged = wide(generated_ + "/Untagged Singer/my untagged song.wav");
    fs::copy_file(untagged, added_ / L"\u6708\u5149\u5C0F\u591C\u66F2.wav");  // 月光小夜曲, in GBK
    fs::copy_file(untagged, added_ / L"\uD55C\uAD6D \uB178\uB798.wav");     // 한국 노래, not in GBK
    LibrarySettings settings;
    settings.folders = {generated_, slashed(added_)};
    library_ = new Library(std::move(settings));
    std::atomic<bool> scanned{false};
    library_->onScanned([&scanned](const LibraryIndex&) { scanned = true; });
    std::string error;
    ASSERT_TRUE(library_->start(&error)) << error;
    source_ = new LibrarySource([] { return library_->index(); });
    service_ = new SongService(*source_, ServiceOptions{});
    port_ = service_->bind("127.0.0.1", 0);
    ASSERT_GT(port_, 0);
    server_ = new std::thread([] { service_->run(); });
    for (int i = 0; i < 300 && !scanned; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    library_->onScanned(nullptr);
    ASSERT_TRUE(scanned);
  }

  static void TearDownTestSuite() {
    if (service_) service_->stop();
    if (server_) server_->join();
    delete server_;
    delete service_;
    delete source_;
    delete library_;
    fs::remove_all(added_);
  }

  static httplib::Result get(const std::string& path, const httplib::Headers& headers = {}) {
    httplib::Client client("127.0.0.1", port_);
    return client.Get(path, headers);
  }

  // The GBK search answer for a UTF-8 keyword.
  static std::string search(const std::string& keyword) {
    auto answer = get("/api/songlist2?query=" + encoded(keyword) + kTail);
    return answer ? answer->body : std::string();
  }

  // The media address of the one song a search finds.
  static std::string mediaOf(const std::string& keyword) {
    const std::string found = search(keyword);
    const std::string key = platform::text::ansiToUtf8(between(found, "\"title\":\"", "\"") +
                                                      between(found, "\"singer\":\"", "\""));
    auto links = get("/api/links2?query=" + encoded(key) + kTail);
    if (!links) return {};
    const std::string url = between(links->body, "\"url\":\"http://", "\"");
    return url.empty() ? url : url.substr(url.find('/'));
  }

  static inline std::string generated_;
  static inline fs::path added_;
  static inline Library* library_ = nullptr;
  static inline LibrarySource* source_ = nullptr;
  static inline SongService* service_ = nullptr;
  static inline std::thread* server_ = nullptr;
  static inline int port_ = 0;
};

TEST_F(LibraryOnWindows, TagsInEveryScriptAreSearchedAndDamagedFilesLeftOut) {
  EXPECT_NE(search("Morning Light").find(R"("title":"Morning Light","singer":"Aurora Vale")"), std::string::npos);
  const std::string chinese = search("\u661F\u6CB3\u5217\u8F66");  // 星河列车
  EXPECT_NE(chinese.find("\"total\":1"), std::string::npos);
  EXPECT_NE(chinese.find(platform::text::utf8ToAnsi("\u767D\u6C90\u9633")), std::string::npos);  // 白沐阳
  EXPECT_NE(search("\u685C\u306E\u9053").find("\"total\":1"), std::string::npos);  // 桜の道
  EXPECT_NE(search("\u5C71\u7530\u82B1\u5B50").find("\"total\":1"), std::string::npos);        // 山田花子
  EXPECT_NE(search("my untagged song").find(R"("singer":"Untagged Singer")"), std::string::npos);
  EXPECT_NE(search("broken").find("\"total\":0"), std::string::npos);
  EXPECT_NE(search("truncated").find("\"total\":0"), std::string::npos);
}

TEST_F(LibraryOnWindows, NamesInsideAndOutsideGbkAreIndexedAndServed) {
  const std::string bytes = bytesOf(added_ / L"\u6708\u5149\u5C0F\u591C\u66F2.wav");
  for (const char* name : {"\u6708\u5149\u5C0F\u591C\u66F2", "\uD55C\uAD6D \uB178\uB798"}) {
    SCOPED_TRACE(name);
    const std::string media = mediaOf(name);
    ASSERT_FALSE(media.empty()) << search(name);
    auto whole = get(media);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->status, 200);
    EXPECT_EQ(whole->body, bytes);
    auto part = get(media, {{"Range", "bytes=100-4195"}});
    ASSERT_TRUE(part);
    EXPECT_EQ(part->status, 206);
    EXPECT_EQ(part->body, bytes.substr(100, 4096));
  }
}

TEST_F(LibraryOnWindows, EmbeddedCoverIsTheSingersPicture) {
  auto answer = get("/new/app/i/yueku.php?singer=" + encoded("\u767D\u6C90\u9633") +
                    "&cmd=104&type=softhead&size=120");
  ASSERT_TRUE(answer);
  std::string url = between(answer->body, "url\":\"http:\\/\\/", "\"");
  ASSERT_FALSE(url.empty()) << answer->body;
  for (std::size_t at; (at = url.find("\\/")) != std::string::npos;) url.replace(at, 2, "/");
  auto picture = get(url.substr(url.find('/')));
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->status, 200);
  EXPECT_EQ(picture->body.substr(0, 3), "\xFF\xD8\xFF");  // the song's embedded JPEG
}

TEST_F(LibraryOnWindows, FileAddedWhileRunningIsFoundWithinTwoSeconds) {
  fs::create_directories(added_ / L"\u65B0\u6B4C");  // 新歌
  const auto copied = std::chrono::steady_clock::now();
  fs::copy_file(wide(generated_ + "/Folder Cover/song.mp3"), added_ / L"\u65B0\u6B4C" / L"added.mp3");
  bool found = false;
  while (!found && std::chrono::steady_clock::now() - copied < std::chrono::seconds(2)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    found = search("Green Field").find("\"total\":2") != std::string::npos;
  }
  EXPECT_TRUE(found);
}

}  // namespace
