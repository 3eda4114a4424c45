#include "tools/song-service/library/AnswerCache.h"

namespace songservice {
namespace {

std::size_t bytesOf(const std::string& keyword, const SearchAnswer& answer) {
  std::size_t bytes = keyword.size() + answer.json.capacity();
  for (const auto& [key, id] : answer.sharedKeys) bytes += key.size() + sizeof id;
  return bytes;
}

}  // namespace

void AnswerCache::followIndex(const std::shared_ptr<const LibraryIndex>& index) {
  // Owner comparison: an expired pointer never equals a new index, even at the same address.
  if (!index_.owner_before(index) && !index.owner_before(index_) && !index_.expired()) return;
  index_ = index;
  recent_.clear();
  bytes_ = 0;
}

std::shared_ptr<const SearchAnswer> AnswerCache::find(const std::shared_ptr<const LibraryIndex>& index,
                                                      std::string_view keyword) {
  std::lock_guard lock(mutex_);
  followIndex(index);
  for (auto it = recent_.begin(); it != recent_.end(); ++it) {
    if (it->first != keyword) continue;
    recent_.splice(recent_.begin(), recent_, it);
    return recent_.front().second;
  }
  return nullptr;
}

void AnswerCache::add(const std::shared_ptr<const LibraryIndex>& index, std::string_view keyword,
                      std::shared_ptr<const SearchAnswer> answer) {
  std::string key(keyword);
  const std::size_t bytes = bytesOf(key, *answer);
  if (bytes > mostBytes_ || mostAnswers_ == 0) return;
  std::lock_guard lock(mutex_);
  followIndex(index);
  for (auto it = recent_.begin(); it != recent_.end(); ++it) {
    if (it->first != key) continue;
    bytes_ -= bytesOf(it->first, *it->second);
    recent_.erase(it);
    break;
  }
  recent_.emplace_front(std::move(key), std::move(answer));
  bytes_ += bytes;
  while (recent_.size() > mostAnswers_ || bytes_ > mostBytes_) {
    bytes_ -= bytesOf(recent_.back().first, *recent_.back().second);
    recent_.pop_back();
  }
}

}  // namespace songservice
