#pragma once
// A cpp-httplib server on 127.0.0.1 (any free port) that serves the routes a test gives it
// on its own thread until the object goes.

#include <httplib.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace net::test {

class TestHttpServer {
 public:
  explicit TestHttpServer(const std::function<void(httplib::Server&)>& routes) {
    // Without it a reused connection waits for the delayed ACK.
    server_.set_tcp_nodelay(true);
    routes(server_);
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) std::abort();
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~TestHttpServer() {
    // stop() does nothing before the accept loop runs; connections wait in the backlog
    // meanwhile, so this is only ever a short wait.
    while (!server_.is_running()) std::this_thread::yield();
    server_.stop();
    thread_.join();
  }
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  int port() const { return port_; }
  std::string url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
  }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

}  // namespace net::test
