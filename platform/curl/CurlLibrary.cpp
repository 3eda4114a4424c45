// libcurl, opened on the first network call (see LazyLibrary.h).

#include <curl/curl.h>

#include <cstdarg>

#include "platform/system/LazyLibrary.h"

namespace {

platform::system::LazyLibrary& curlLibrary() {
  static platform::system::LazyLibrary library("libcurl.so.4");
  return library;
}

// Every option and info value curl takes is a long, a pointer or a curl_off_t, which this
// platform passes alike; the one value is handed on as it came.
static_assert(sizeof(void*) == sizeof(long) && sizeof(void*) == sizeof(curl_off_t));

#define CURL_FN(name) TUNORA_LAZY_FUNCTION(curlLibrary(), name)

}  // namespace

// curl declares its option setters with an option enum just before the "...". The enums are
// int-sized and arrive in a register as an int would, so va_start finds the value after them;
// clang warns by the letter of the rule.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wvarargs"
#endif

extern "C" {

CURLcode curl_global_init(long flags) { return CURL_FN(curl_global_init)(flags); }
void curl_global_cleanup(void) { CURL_FN(curl_global_cleanup)(); }
curl_version_info_data* curl_version_info(CURLversion age) { return CURL_FN(curl_version_info)(age); }
void curl_free(void* p) { CURL_FN(curl_free)(p); }

CURL* curl_easy_init(void) { return CURL_FN(curl_easy_init)(); }
void curl_easy_cleanup(CURL* curl) { CURL_FN(curl_easy_cleanup)(curl); }
void curl_easy_reset(CURL* curl) { CURL_FN(curl_easy_reset)(curl); }
CURL* curl_easy_duphandle(CURL* curl) { return CURL_FN(curl_easy_duphandle)(curl); }
CURLcode curl_easy_perform(CURL* curl) { return CURL_FN(curl_easy_perform)(curl); }
CURLcode curl_easy_pause(CURL* handle, int bitmask) { return CURL_FN(curl_easy_pause)(handle, bitmask); }
const char* curl_easy_strerror(CURLcode code) { return CURL_FN(curl_easy_strerror)(code); }
char* curl_easy_escape(CURL* handle, const char* string, int length) {
  return CURL_FN(curl_easy_escape)(handle, string, length);
}
char* curl_easy_unescape(CURL* handle, const char* string, int length, int* outlength) {
  return CURL_FN(curl_easy_unescape)(handle, string, length, outlength);
}

CURLcode curl_easy_setopt(CURL* curl, CURLoption option, ...) {
  va_list args;
  va_start(args, option);
  void* value = va_arg(args, void*);
  va_end(args);
  return CURL_FN(curl_easy_setopt)(curl, option, value);
}

CURLcode curl_easy_getinfo(CURL* curl, CURLINFO info, ...) {
  va_list args;
  va_start(args, info);
  void* value = va_arg(args, void*);
  va_end(args);
  return CURL_FN(curl_easy_getinfo)(curl, info, value);
}

struct curl_slist* curl_slist_append(struct curl_slist* list, const char* text) {
  return CURL_FN(curl_slist_append)(list, text);
}
void curl_slist_free_all(struct curl_slist* list) { CURL_FN(curl_slist_free_all)(list); }

CURLSH* curl_share_init(void) { return CURL_FN(curl_share_init)(); }
CURLSHcode curl_share_cleanup(CURLSH* share) { return CURL_FN(curl_share_cleanup)(share); }
CURLSHcode curl_share_setopt(CURLSH* share, CURLSHoption option, ...) {
  va_list args;
  va_start(args, option);
  void* value = va_arg(args, void*);
  va_end(args);
  return CURL_FN(curl_share_setopt)(share, option, value);
}

CURLM* curl_multi_init(void) { return CURL_FN(curl_multi_init)(); }
CURLMcode curl_multi_cleanup(CURLM* multi) { return CURL_FN(curl_multi_cleanup)(multi); }
CURLMcode curl_multi_add_handle(CURLM* multi, CURL* easy) { return CURL_FN(curl_multi_add_handle)(multi, easy); }
CURLMcode curl_multi_remove_handle(CURLM* multi, CURL* easy) {
  return CURL_FN(curl_multi_remove_handle)(multi, easy);
}
CURLMcode curl_multi_perform(CURLM* multi, int* running) { return CURL_FN(curl_multi_perform)(multi, running); }
CURLMcode curl_multi_poll(CURLM* multi, struct curl_waitfd extra[], unsigned int count, int timeoutMs, int* numfds) {
  return CURL_FN(curl_multi_poll)(multi, extra, count, timeoutMs, numfds);
}
CURLMcode curl_multi_wait(CURLM* multi, struct curl_waitfd extra[], unsigned int count, int timeoutMs, int* numfds) {
  return CURL_FN(curl_multi_wait)(multi, extra, count, timeoutMs, numfds);
}
CURLMcode curl_multi_wakeup(CURLM* multi) { return CURL_FN(curl_multi_wakeup)(multi); }
CURLMsg* curl_multi_info_read(CURLM* multi, int* left) { return CURL_FN(curl_multi_info_read)(multi, left); }
const char* curl_multi_strerror(CURLMcode code) { return CURL_FN(curl_multi_strerror)(code); }
CURLMcode curl_multi_setopt(CURLM* multi, CURLMoption option, ...) {
  va_list args;
  va_start(args, option);
  void* value = va_arg(args, void*);
  va_end(args);
  return CURL_FN(curl_multi_setopt)(multi, option, value);
}

}  // extern "C"

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
