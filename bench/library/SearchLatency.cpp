// bench_library_search PORT [REQUESTS] [fresh]: search latency of a running song service, from
// the request to the last byte of the answer, over one kept-alive loopback connection. Keywords
// are words of the generated library, singly and in pairs, Latin and Chinese. "fresh" makes
// every keyword new to the service (trailing blanks that change no answer), so no answer the
// service kept from an earlier request is reused.

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_library_search PORT [REQUESTS] [fresh]\n");
    return 2;
  }
  const int port = std::atoi(argv[1]);
  const int requests = argc > 2 ? std::atoi(argv[2]) : 2000;
  const bool fresh = argc > 3 && std::string(argv[3]) == "fresh";
  const std::vector<std::string> keywords{
      "Morning",       "river light", "%E6%9C%88%E5%85%89",  // 月光
      "harbour glass", "tide 12",     "%E8%BF%9C%E5%B1%B1%20%E6%98%9F%E6%B2%B3",  // 远山 星河
      "maple",         "song 4711",   "quiet engine 3",       "winter", "zzz-nothing", "%E6%A1%9C"};  // 桜
  httplib::Client client("127.0.0.1", port);
  client.set_keep_alive(true);
  std::vector<double> millis;
  std::size_t bytes = 0;
  for (int i = 0; i < requests + 50; ++i) {
    std::string path = "/api/songlist2?query=" + keywords[static_cast<std::size_t>(i) % keywords.size()];
    if (fresh) path += std::string(static_cast<std::size_t>(i) / keywords.size() + 1, ' ');
    // The client sends '+' as %2B, which is no blank.
    for (std::size_t at = path.find(' '); at != std::string::npos; at = path.find(' ', at))
      path.replace(at, 1, "%20");
    path += "&ie=utf-8&type=search&id=1&jsoncallback=jsonp1";
    auto started = std::chrono::steady_clock::now();
    auto answer = client.Get(path);
    auto took = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    if (!answer || answer->status != 200) {
      std::fprintf(stderr, "bench_library_search: request failed\n");
      return 1;
    }
    if (i >= 50) {  // the first ones warm up the connection and caches
      millis.push_back(took);
      bytes += answer->body.size();
    }
  }
  std::sort(millis.begin(), millis.end());
  auto at = [&](double q) { return millis[static_cast<std::size_t>(q * (millis.size() - 1))]; };
  std::printf("search%s: %zu requests, median %.2f ms, p99 %.2f ms, max %.2f ms, %.0f bytes per answer\n",
              fresh ? " (every keyword new)" : "", millis.size(), at(0.5), at(0.99), millis.back(), double(bytes) / millis.size());
  return 0;
}
