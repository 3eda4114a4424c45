#pragma once
// A bare TCP listener on 127.0.0.1 that records every request byte for byte (header block
// and, when Content-Length says so, the body) and then either answers with a fixed
// response and closes, or holds the connection open without a word.

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestSocket.h"

namespace net::test {

class RawHttpListener {
 public:
  struct NeverAnswer {};

  // Answers each request with response, then closes the connection.
  explicit RawHttpListener(std::string response);
  // Accepts connections and never answers; they stay open until the listener goes.
  explicit RawHttpListener(NeverAnswer);
  ~RawHttpListener();
  RawHttpListener(const RawHttpListener&) = delete;
  RawHttpListener& operator=(const RawHttpListener&) = delete;

  int port() const { return port_; }
  std::vector<std::string> requests() const;
  int connections() const;
  // Waits until count connections were accepted; false after five seconds.
  bool waitForConnections(int count) const;

 private:
  RawHttpListener(std::string response, bool answer);
  void serve();
  std::string readRequest(testsupport::SocketHandle client);
  bool waitReadable(testsupport::SocketHandle socket, int timeoutMs);

  std::string response_;
  bool answer_;
  testsupport::SocketHandle listener_ = testsupport::kNoSocket;
  testsupport::Wakeup stop_;
  int port_ = 0;
  std::vector<testsupport::SocketHandle> heldOpen_;  // only the serving thread touches it

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<std::string> requests_;  // guarded by mutex_
  int connections_ = 0;                // guarded by mutex_

  std::thread thread_;
};

}  // namespace net::test
