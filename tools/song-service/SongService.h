#pragma once
// The song service over HTTP: song search and links in the JSONP shape the client reads, the
// media with byte ranges, and the singer-picture lookup, over the demo catalogue or a music
// folder. Fault flags make the media slow or cut and the links method fail, for tests.

#include <httplib.h>

#include <atomic>
#include <string>

#include "tools/song-service/SongSource.h"

namespace songservice {

struct ServiceOptions {
  long long slowBytesPerSecond = 0;  // 0: media at full speed
  long long cutAfterBytes = -1;      // -1: media never cut
  bool noRanges = false;             // media always whole, as a server that cannot resume
  bool links404 = false;
  bool linksWithoutUrl = false;
};

class SongService {
 public:
  // source outlives the service.
  SongService(SongSource& source, ServiceOptions options);
  SongService(const SongService&) = delete;
  SongService& operator=(const SongService&) = delete;

  // Listens on the address (127.0.0.1 unless told otherwise); port 0 picks a free one. The
  // bound port, or -1.
  int bind(const std::string& address, int port);

  // Serves until stop(); false when it could not serve at all.
  bool run();

  // Any thread; running downloads end at their next chunk.
  void stop();

 private:
  void addRoutes();
  void answerSearch(const httplib::Request& request, httplib::Response& response);
  void answerLinks(const httplib::Request& request, httplib::Response& response);
  void answerPicture(const httplib::Request& request, httplib::Response& response);
  void serveBody(const httplib::Request& request, httplib::Response& response,
                 std::optional<MediaBody> body, bool paced);
  std::string hostOf(const httplib::Request& request) const;

  SongSource& source_;
  ServiceOptions options_;
  httplib::Server server_;
  int port_ = -1;
  std::atomic<bool> stopping_{false};
};

}  // namespace songservice
