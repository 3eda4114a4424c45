#pragma once
// A music folder behind the routes: searches over the in-memory index, links by the title
// and singer the client sends back, the files themselves by index id, and singer pictures
// from embedded covers or cover pictures beside the songs.

#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>

#include "tools/song-service/SongSource.h"
#include "tools/song-service/library/AnswerCache.h"
#include "tools/song-service/library/LibraryIndex.h"

namespace songservice {

class LibrarySource : public SongSource {
 public:
  // Gives the index to answer from; called for every request, from any thread.
  using IndexSource = std::function<std::shared_ptr<const LibraryIndex>()>;
  explicit LibrarySource(IndexSource index) : index_(std::move(index)) {}

  std::string searchAnswer(std::string_view keyword, const std::string& client) override;
  std::optional<std::string> linksAnswer(std::string_view key, const std::string& client,
                                         std::string_view host, bool withoutUrl) override;
  std::string pictureAnswer(std::string_view singer, std::string_view host) override;
  std::optional<MediaBody> media(std::string_view name) override;
  std::optional<MediaBody> picture(std::string_view name) override;

 private:
  // Which of the songs sharing a links key each client was answered last.
  struct ClientMemory {
    std::string client;
    std::unordered_map<std::string, long long> songByKey;
  };
  static std::shared_ptr<const SearchAnswer> makeSearchAnswer(const LibraryIndex& index, std::string_view keyword);
  void remember(const std::string& client, std::unordered_map<std::string, long long> answered);
  long long rememberedSong(const std::string& client, const std::string& key);

  const IndexSource index_;
  // A person searching again, or several clients asking the same, costs a copy. Full answers
  // are a few hundred kilobytes at most.
  AnswerCache answers_{64, 4 * 1024 * 1024};
  std::mutex mutex_;
  std::list<ClientMemory> clients_;  // guarded by mutex_; most recent first
};

// The picture file beside a song ("cover.jpg", "folder.jpg" and the like), or "".
std::string folderPicturePath(const std::string& songPath);

}  // namespace songservice
