#pragma once
// What the HTTP routes ask of the songs they serve: the demo catalogue in memory or a music
// folder indexed on disk. Every call may come from any server thread at once.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tools/song-service/OpenFile.h"

namespace songservice {

// The bytes of one media file or picture, from memory or from an open file.
struct MediaBody {
  std::shared_ptr<const std::string> bytes;  // set for memory
  std::shared_ptr<OpenFile> file;            // set for a file
  std::size_t size = 0;
  std::string contentType;
  std::string etag;          // empty: not sent
  std::string lastModified;  // HTTP date, empty: not sent
};

class SongSource {
 public:
  virtual ~SongSource() = default;

  // The search answer's JSON in GBK. client is the asking address.
  virtual std::string searchAnswer(std::string_view keyword, const std::string& client) = 0;

  // The links answer's JSON in GBK for the key (UTF-8 as it came), with the media link on
  // host; nullopt when no song has that key.
  virtual std::optional<std::string> linksAnswer(std::string_view key, const std::string& client,
                                                 std::string_view host, bool withoutUrl) = 0;

  // The singer-picture answer's JSON in UTF-8.
  virtual std::string pictureAnswer(std::string_view singer, std::string_view host) = 0;

  // "/media/NAME" and "/pictures/NAME"; nullopt when there is no such thing (any more).
  virtual std::optional<MediaBody> media(std::string_view name) = 0;
  virtual std::optional<MediaBody> picture(std::string_view name) = 0;
};

}  // namespace songservice
