#pragma once
// Owners for the libcurl handles the HTTP client uses, and the one cookie store that all
// requests of the process share.

#include <curl/curl.h>

#include <memory>

namespace net {

struct CurlEasyCleanup {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct CurlMultiCleanup {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct CurlListCleanup {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

using CurlEasy = std::unique_ptr<CURL, CurlEasyCleanup>;
using CurlMulti = std::unique_ptr<CURLM, CurlMultiCleanup>;
using CurlList = std::unique_ptr<curl_slist, CurlListCleanup>;

// Keeps an easy handle attached to a multi handle for its own lifetime; libcurl wants the
// easy handle detached before either is cleaned up.
class CurlMultiAttachment {
 public:
  CurlMultiAttachment(CURLM* multi, CURL* easy)
      : multi_(multi), easy_(easy), attached_(curl_multi_add_handle(multi, easy) == CURLM_OK) {}
  ~CurlMultiAttachment() {
    if (attached_) curl_multi_remove_handle(multi_, easy_);
  }
  CurlMultiAttachment(const CurlMultiAttachment&) = delete;
  CurlMultiAttachment& operator=(const CurlMultiAttachment&) = delete;

  bool attached() const { return attached_; }

 private:
  CURLM* multi_;
  CURL* easy_;
  bool attached_;
};

// Initialises libcurl once (thread-safe) and returns the process-wide share handle that
// holds the cookies; null when libcurl could not be initialised. Safe to use from several
// threads at once: the share handle locks itself.
CURLSH* processCookieShare();

}  // namespace net
