#include <gtest/gtest.h>

#include <csignal>

#include "AudioTestSupport.h"
#include "platform/system/Environment.h"

// Opening the output must leave the program's signals alone, or SIGTERM stops nothing.
TEST(EngineLifecycle, OpeningTheOutputLeavesSignalsAlone) {
  platform::system::unsetEnvironment("TUNORA_AUDIO_CAPTURE");
  platform::system::setEnvironment("SDL_AUDIODRIVER", "dummy");
  ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
  for (int signalNumber : {SIGTERM, SIGINT}) {
    struct sigaction action {};
    ASSERT_EQ(sigaction(signalNumber, nullptr, &action), 0);
    EXPECT_EQ(action.sa_handler, SIG_DFL) << signalNumber;
  }
  EXPECT_TRUE(BASS_Free());
  platform::system::unsetEnvironment("SDL_AUDIODRIVER");
}
