// https through the system's TLS: both HTTP clients reach the run's https nginx by a
// redirect and read the whole body. The certificate comes from an authority of the run's
// own; Wine's TLS leaves the chain unchecked, so nothing needs to trust it there.

#include <gtest/gtest.h>

#include <string>

#include "AudioTestSupport.h"
#include "net/HttpRequest.h"

using namespace audiotest;

TEST(TlsStream, HttpsBodiesArriveWhole) {
  NginxServer server;
  ASSERT_TRUE(server.running());
  std::string numbers;
  for (int i = 1; i <= 20000; ++i) numbers += std::to_string(i) + "\n";
  EXPECT_TRUE(net::HttpRequest(server.url("tls/text/numbers.txt")) == numbers) << "the text client";

  std::vector<std::uint8_t> reference = wavData(media("tone.mp3.ref.wav"));
  CaptureSession session;
  HSTREAM stream = BASS_StreamCreateURL(server.url("tls/tone.mp3").c_str(), 0, 0, nullptr, nullptr);
  ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
  ASSERT_TRUE(playToEnd(stream));
  EXPECT_TRUE(session.finish() == reference) << "the engine's download";
}
