#include "tests/song-service/ServiceTestSupport.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "tests/support/FileContents.h"

namespace songservice::test {
namespace {

std::size_t appendTo(char* data, std::size_t size, std::size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

std::string lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

}  // namespace

CatalogueIndex builtIndex() {
  std::string error;
  auto index = parseIndex(testsupport::readFile(kCatalogue + "/" + kIndexFileName), &error);
  EXPECT_TRUE(index) << error;
  return index ? *index : CatalogueIndex{};
}

std::string catalogueFile(const std::string& name) { return testsupport::readFile(kCatalogue + "/" + name); }

std::string Fetched::header(const std::string& name) const {
  std::string wanted = lowered(name) + ":";
  std::size_t start = 0;
  while (start < headers.size()) {
    std::size_t end = headers.find("\r\n", start);
    if (end == std::string::npos) end = headers.size();
    std::string line = headers.substr(start, end - start);
    if (lowered(line.substr(0, wanted.size())) == wanted) {
      std::string value = line.substr(wanted.size());
      value.erase(0, value.find_first_not_of(' '));
      return value;
    }
    start = end + 2;
  }
  return {};
}

Fetched fetch(const std::string& url, const std::string& extraHeader, bool head) {
  Fetched result;
  std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
  curl_slist* headerList = nullptr;
  if (!extraHeader.empty()) headerList = curl_slist_append(headerList, extraHeader.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headerList);
  curl_easy_setopt(curl.get(), CURLOPT_NOBODY, head ? 1L : 0L);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, appendTo);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &result.body);
  curl_easy_setopt(curl.get(), CURLOPT_HEADERFUNCTION, appendTo);
  curl_easy_setopt(curl.get(), CURLOPT_HEADERDATA, &result.headers);
  curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 30L);
  result.curlCode = curl_easy_perform(curl.get());
  curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &result.status);
  curl_easy_getinfo(curl.get(), CURLINFO_TOTAL_TIME, &result.seconds);
  curl_slist_free_all(headerList);
  return result;
}

}  // namespace songservice::test
