#include "net/CurlHandles.h"

#include <array>
#include <mutex>

namespace net {
namespace {

// Created on first use and never destroyed: a request still running on a worker thread
// while the process exits must not find its cookie store gone.
class CookieShare {
 public:
  CookieShare() {
    if (!platform::curl::curlReady()) return;
    share_ = curl_share_init();
    if (!share_) return;
    bool ok = curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CookieShare::lock) == CURLSHE_OK &&
              curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CookieShare::unlock) == CURLSHE_OK &&
              curl_share_setopt(share_, CURLSHOPT_USERDATA, this) == CURLSHE_OK &&
              curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE) == CURLSHE_OK;
    if (!ok) {
      curl_share_cleanup(share_);
      share_ = nullptr;
    }
  }

  CURLSH* handle() const { return share_; }

 private:
  std::mutex& mutexFor(curl_lock_data data) {
    size_t index = static_cast<size_t>(data);
    return mutexes_[index < mutexes_.size() ? index : 0];
  }

  static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    static_cast<CookieShare*>(self)->mutexFor(data).lock();
  }
  static void unlock(CURL*, curl_lock_data data, void* self) {
    static_cast<CookieShare*>(self)->mutexFor(data).unlock();
  }

  CURLSH* share_ = nullptr;
  std::array<std::mutex, CURL_LOCK_DATA_LAST> mutexes_;
};

}  // namespace

CURLSH* processCookieShare() {
  static CookieShare* const share = new CookieShare;
  return share->handle();
}

bool appendLine(CurlList& list, const std::string& line) {
  curl_slist* grown = curl_slist_append(list.get(), line.c_str());
  if (!grown) return false;
  list.release();
  list.reset(grown);
  return true;
}

}  // namespace net
