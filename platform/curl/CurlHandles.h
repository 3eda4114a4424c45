#pragma once
// Owners for libcurl handles and the one libcurl initialisation of the process, shared by
// the HTTP clients and the audio engine's downloads.

#include <curl/curl.h>

#include "platform/system/OwnedHandle.h"

namespace platform::curl {

using CurlEasy = system::OwnedHandle<CURL, curl_easy_cleanup>;
using CurlMulti = system::OwnedHandle<CURLM, curl_multi_cleanup>;
using CurlList = system::OwnedHandle<curl_slist, curl_slist_free_all>;
using CurlShare = system::OwnedHandle<CURLSH, curl_share_cleanup>;

// Initialises libcurl once for the whole process (thread-safe); false when that failed.
// Every user calls it before creating a handle.
bool curlReady();

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

}  // namespace platform::curl
