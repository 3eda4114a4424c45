#pragma once
// A library service started for a test and asked the way the client asks it.

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "net/QueryEncoding.h"
#include "net/TextBetween.h"
#include "platform/text/CodePage.h"
#include "tests/song-service/ServiceTestSupport.h"
#include "tests/support/SongServiceProcess.h"

namespace songservice::test {

using platform::text::ansiToUtf8;
using platform::text::utf8ToAnsi;

struct Song {
  std::string title, singer, album, format, piece;  // UTF-8 but for piece, the raw GBK object
};

inline std::vector<std::string> split(const std::string& text, const std::string& separator) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (true) {
    std::size_t at = text.find(separator, start);
    pieces.push_back(text.substr(start, at == std::string::npos ? at : at - start));
    if (at == std::string::npos) return pieces;
    start = at + separator.size();
  }
}

// A library service on its own database; waits until the first scan has been answered.
class LibraryProcess {
 public:
  LibraryProcess(const std::string& folder, const std::string& database, std::vector<std::string> extra = {}) {
    std::vector<std::string> flags{"--library", folder, "--database", database};
    flags.insert(flags.end(), extra.begin(), extra.end());
    process_ = std::make_unique<testsupport::SongServiceProcess>(kServiceExe, kCatalogue, flags);
  }
  int port() const { return process_->port(); }
  std::string url(const std::string& path) const { return process_->url(path); }
  void stop() { process_->stop(); }

  // The client escapes the blanks the query encoding leaves when it sends the request.
  static std::string encoded(const std::string& gbk) {
    std::string out;
    for (char c : net::EncodeQueryText(gbk)) out += c == ' ' ? std::string("%20") : std::string(1, c);
    return out;
  }
  std::string searchAnswer(const std::string& keyword) const {
    return fetch(url("/api/songlist2?query=" + encoded(utf8ToAnsi(keyword)) +
                     "&ie=utf-8&type=search&id=1&jsoncallback=jsonp1"))
        .body;
  }
  std::vector<Song> search(const std::string& keyword) const {
    std::vector<Song> songs;
    std::string answer = searchAnswer(keyword);
    if (answer.size() <= 200) return songs;
    for (const std::string& piece : split(answer, "},{"))
      songs.push_back({ansiToUtf8(net::TextBetween(piece, "title\":\"", "\"")),
                       ansiToUtf8(net::TextBetween(piece, "singer\":\"", "\"")),
                       ansiToUtf8(net::TextBetween(piece, "album\":\"", "\"")),
                       net::TextBetween(piece, "format\":\"", "\""), piece});
    return songs;
  }
  // The media link for a row, asked with the row's title and singer as the client cut them.
  std::string link(const Song& song) const {
    std::string title = net::TextBetween(song.piece, "title\":\"", "\"");
    std::string singer = net::TextBetween(song.piece, "singer\":\"", "\"");
    Fetched answer = fetch(url("/api/links2?query=" + encoded(title) + encoded(singer) +
                               "&id=1&jsoncallback=jsonp2"));
    return net::TextBetween(answer.body, "url\":\"", "\"");
  }
  // Polls the search until the predicate holds (at most the timeout).
  template <typename Predicate>
  bool waitFor(const std::string& keyword, Predicate holds, std::chrono::milliseconds timeout) const {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
      if (holds(search(keyword))) return true;
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

 private:
  std::unique_ptr<testsupport::SongServiceProcess> process_;
};

inline bool hasTitle(const std::vector<Song>& songs, const std::string& title) {
  for (const Song& song : songs)
    if (song.title == title) return true;
  return false;
}

}  // namespace songservice::test
