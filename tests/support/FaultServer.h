#pragma once
// A misbehaving HTTP server on 127.0.0.1 for fault tests. Each request path has a script
// of raw steps (send, drip, stay silent, repeat forever, reset), played on a thread of its
// own per connection, so a test can run many faulty exchanges at once; a path may also
// choose its script per request (the first answer breaks off, later Range requests are
// served). Every wait is bounded: a connection ends after its time limit or when the
// server goes, whatever the client does.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tests/support/TestSocket.h"

namespace testsupport {

class FaultScript {
 public:
  // Sends the bytes as fast as the client takes them.
  FaultScript& send(std::string bytes);
  // Sends the bytes one at a time with a pause before each.
  FaultScript& drip(std::string bytes, std::chrono::milliseconds every);
  // Sends nothing for that long; the connection stays open.
  FaultScript& silence(std::chrono::milliseconds duration);
  // Sends nothing until the client leaves (or the connection's time limit).
  FaultScript& silenceForever();
  // Sends the bytes again and again until the client leaves.
  FaultScript& endless(std::string bytes);
  // Ends with a TCP reset instead of an orderly close.
  FaultScript& reset();

 private:
  friend class FaultServer;
  enum class Kind { Send, Drip, Silence, Endless, Reset };
  struct Step {
    Kind kind;
    std::string bytes;
    std::chrono::milliseconds time{0};
  };
  std::vector<Step> steps_;
};

// "HTTP/1.1 <status>\r\n<headerLines>Connection: close\r\n\r\n<body>"; headerLines end in CR LF.
std::string httpResponse(const std::string& status, const std::string& headerLines,
                         const std::string& body);

struct FaultRequest {
  std::string head;
  int earlier = 0;                          // requests for the same path before this one
  std::optional<std::uint64_t> rangeFrom;   // from "Range: bytes=N-"
};

// What a server with Range support answers: 206 with the part the request asks for, or
// 200 with all of body. headerLines (each ending in CR LF) go into either.
std::string rangeResponse(const std::string& body, const FaultRequest& request,
                          const std::string& headerLines = "");

class FaultServer {
 public:
  explicit FaultServer(std::chrono::milliseconds connectionLimit = std::chrono::seconds(30));
  ~FaultServer();
  FaultServer(const FaultServer&) = delete;
  FaultServer& operator=(const FaultServer&) = delete;

  using Handler = std::function<FaultScript(const FaultRequest&)>;

  // The script for requests whose path (query excluded) is exactly path. Unknown paths
  // get a 404.
  void on(const std::string& path, FaultScript script);
  // A script chosen for each request; runs on the connection's thread.
  void on(const std::string& path, Handler handler);
  // Closes each connection as soon as it is accepted, before reading anything.
  void closeEveryConnectionAtAccept();
  // Stops listening: later connections are refused, those under way go on.
  void stopListening();

  int port() const { return port_; }
  std::string url(const std::string& path) const;
  int connections() const;
  std::vector<std::string> requestHeads() const;
  // Bytes written to clients so far, over all connections.
  std::uint64_t bytesSent() const { return bytesSent_.load(); }

 private:
  void acceptLoop();
  void serve(SocketHandle client);
  bool readHead(SocketHandle client, std::chrono::steady_clock::time_point deadline, std::string& head);
  bool play(SocketHandle client, const FaultScript& script, std::chrono::steady_clock::time_point deadline);
  bool idleUntil(SocketHandle client, std::chrono::steady_clock::time_point until);
  bool sendAll(SocketHandle client, std::string_view bytes, std::chrono::steady_clock::time_point deadline);
  // Waits until the socket can be read (or written); false when the server stops or the
  // deadline passes first.
  bool waitFor(SocketHandle socket, bool write, std::chrono::steady_clock::time_point until);

  const std::chrono::milliseconds connectionLimit_;
  SocketHandle listener_ = kNoSocket;
  Wakeup stop_;
  Wakeup stopListening_;
  int port_ = 0;
  std::atomic<std::uint64_t> bytesSent_{0};

  mutable std::mutex mutex_;
  std::map<std::string, Handler> handlers_;     // guarded by mutex_
  std::map<std::string, int> requestCounts_;    // guarded by mutex_
  bool closeAtAccept_ = false;                  // guarded by mutex_
  std::vector<std::string> heads_;              // guarded by mutex_
  int connections_ = 0;                         // guarded by mutex_
  std::vector<std::thread> connectionThreads_;  // only the accept thread touches it

  std::thread acceptor_;
};

// What a sanitizer build keeps resident beside each byte the program touches, so that a
// bound on resident memory holds there too.
#if defined(__SANITIZE_THREAD__)
inline constexpr std::uint64_t kShadowBytesPerByte = 4;
#elif defined(__SANITIZE_ADDRESS__)
inline constexpr std::uint64_t kShadowBytesPerByte = 1;  // an eighth, rounded up
#else
inline constexpr std::uint64_t kShadowBytesPerByte = 0;
#endif

}  // namespace testsupport
