#pragma once
// The search answers given last over the index answered now, so that a keyword asked again
// costs a copy instead of a search. A new index empties it. Any thread.

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "tools/song-service/library/LibraryIndex.h"

namespace songservice {

struct SearchAnswer {
  std::string json;
  // Links key (ASCII-lowered title and singer) -> the song answered, for keys songs share.
  std::unordered_map<std::string, long long> sharedKeys;
};

class AnswerCache {
 public:
  AnswerCache(std::size_t mostAnswers, std::size_t mostBytes) : mostAnswers_(mostAnswers), mostBytes_(mostBytes) {}

  // The answer kept for the keyword over this index, or null.
  std::shared_ptr<const SearchAnswer> find(const std::shared_ptr<const LibraryIndex>& index, std::string_view keyword);

  // Keeps the answer unless it alone is over the byte bound; the least recently asked go first.
  void add(const std::shared_ptr<const LibraryIndex>& index, std::string_view keyword,
           std::shared_ptr<const SearchAnswer> answer);

 private:
  void followIndex(const std::shared_ptr<const LibraryIndex>& index);  // caller holds mutex_

  const std::size_t mostAnswers_, mostBytes_;
  std::mutex mutex_;
  // guarded by mutex_:
  std::weak_ptr<const LibraryIndex> index_;  // weak: an old index is not kept alive for this
  std::list<std::pair<std::string, std::shared_ptr<const SearchAnswer>>> recent_;  // most recent first
  std::size_t bytes_ = 0;
};

}  // namespace songservice
