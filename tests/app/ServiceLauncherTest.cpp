// The launcher with the real song service: an installed layout in a temporary prefix
// whose bin/ holds the built service and whose share/tunora/ holds the demo catalogue.

#include "app/ServiceLauncher.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>

#include "app/PresetFile.h"

#include "tests/platform_audio/AudioTestSupport.h"
#include "tests/support/FileContents.h"
#include "tests/support/GeneratedLibrary.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using platform::system::ProgramFiles;

TEST(ServiceLauncher, OnlyAddressesOnThisMachineAreItsToStart) {
  EXPECT_EQ(app::PortOnThisMachine("127.0.0.1:8725"), 8725);
  EXPECT_EQ(app::PortOnThisMachine("localhost:9000"), 9000);
  EXPECT_EQ(app::PortOnThisMachine("10.0.0.2:8725"), std::nullopt);
  EXPECT_EQ(app::PortOnThisMachine("songs.home:8725"), std::nullopt);
  EXPECT_EQ(app::PortOnThisMachine("127.0.0.1:99999"), std::nullopt);
}

TEST(ServiceLauncher, AMusicFolderCountsOnlyWithAFileTheClientPlays) {
  testsupport::TempDir music;
  EXPECT_FALSE(app::HoldsPlayableFile(music.path() + "/missing"));
  fs::create_directories(music.path() + "/.cache/x");
  fs::create_directories(music.path() + "/Artist/Album");
  testsupport::writeFile(music.path() + "/.cache/x/hidden.mp3", "");
  testsupport::writeFile(music.path() + "/Artist/Album/cover.jpg", "");
  EXPECT_FALSE(app::HoldsPlayableFile(music.path()));
  testsupport::writeFile(music.path() + "/Artist/Album/01 Song.OGG", "");
  EXPECT_TRUE(app::HoldsPlayableFile(music.path()));
}

class InstalledService : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(prefix_.path() + "/bin");
    fs::create_directories(prefix_.path() + "/share/tunora");
    fs::create_symlink(TUNORA_SONG_SERVICE, prefix_.path() + "/bin/tunora-song-service");
    fs::create_directory_symlink(TUNORA_SONG_CATALOGUE, prefix_.path() + "/share/tunora/catalogue");
    files_ = ProgramFiles::forProgramIn(prefix_.path() + "/bin", (home_.path() + "/config").c_str(),
                                        home_.path().c_str());
  }
  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

  testsupport::TempDir prefix_;
  testsupport::TempDir home_;
  ProgramFiles files_;
  int port_ = audiotest::freeLoopbackPort();
};

TEST_F(InstalledService, TheCommandLineServesTheMusicFolderWithItsPresetsOrElseTheCatalogue) {
  const std::string service = prefix_.path() + "/bin/tunora-song-service";
  const std::string music = home_.path() + "/Music";
  EXPECT_EQ(app::ServiceCommandLine(files_, 8725, music),
            (std::vector<std::string>{service, "--port", "8725", "--catalogue",
                                      prefix_.path() + "/share/tunora/catalogue"}));
  fs::create_directories(music);
  testsupport::writeFile(music + "/a.mp3", "");
  EXPECT_EQ(app::ServiceCommandLine(files_, 8725, music),
            (std::vector<std::string>{service, "--port", "8725", "--library", music, "--write-presets",
                                      home_.path() + "/config/tunora/plugins/js_rilu.txt"}));
}

TEST_F(InstalledService, StartsTheServiceWhenNothingAnswersAndStopsItWithTheLauncher) {
  ASSERT_FALSE(app::SomethingListens(port_, 200));
  pid_t child = 0;
  {
    app::ServiceLauncher launcher;
    launcher.start(files_, address());
    launcher.waitUntilReady();
    child = launcher.child();
    ASSERT_GT(child, 0);
    // A sanitizer build's service may take longer than the launcher waits.
    bool listening = false;
    for (int i = 0; i < 300 && !(listening = app::SomethingListens(port_, 100)); ++i) ::usleep(100000);
    EXPECT_TRUE(listening);
  }
  EXPECT_FALSE(app::SomethingListens(port_, 200));
  EXPECT_EQ(::kill(child, 0), -1);  // reaped, not left as a zombie
  EXPECT_EQ(errno, ESRCH);
}

// The first start with one's own music: the list must wait for the service's own file, and
// never fall back to the shipped one, whose songs that service does not serve.
TEST_F(InstalledService, ThePresetListComesFromTheUsersMusicOnceTheServiceHasScannedIt) {
  ::setenv("HOME", home_.path().c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home_.path() + "/config").c_str(), 1);
  const std::string music = home_.path() + "/Music";
  // The desktop keeps the home folder it saw first.
  if (app::UserMusicFolder() != music) GTEST_SKIP() << "needs a process of its own, as ctest runs it";
  ASSERT_TRUE(files_.makeUserFolders());
  fs::create_directories(prefix_.path() + "/share/tunora/plugins");
  fs::create_symlink(TUNORA_SONG_CATALOGUE "/js_rilu.txt", prefix_.path() + "/share/tunora/plugins/js_rilu.txt");
  fs::create_directories(music);
  testsupport::writeFile(music + "/damaged.mp3", "not a song");
  const auto presetLines = [this] {
    app::ServiceLauncher launcher;
    launcher.start(files_, address());
    launcher.waitUntilReady();
    EXPECT_TRUE(launcher.waitForPresets(std::chrono::seconds(60)));
    std::string text;
    for (const std::string& line : app::PresetLinesOfFile(launcher.presetFile(files_))) text += line + "\n";
    return text;
  };
  EXPECT_EQ(presetLines(), "");

  const char* const titles[] = {"Harbour Night", "Quiet Field", "Salt Road"};
  for (const char* title : titles)
    ASSERT_TRUE(testsupport::GeneratedLibrary::encode("flac", music + "/" + title + ".flac", title, "Mira Holt"));
  const std::string text = presetLines();
  for (const char* title : titles) EXPECT_NE(text.find(title), std::string::npos) << text;
}

TEST_F(InstalledService, LeavesAnAnsweringServiceAndOtherMachinesAndPortableCopiesAlone) {
  const testsupport::LoopbackListener answering = testsupport::openLoopbackListener(4);
  app::ServiceLauncher launcher;
  launcher.start(files_, "127.0.0.1:" + std::to_string(answering.port));
  launcher.waitUntilReady();
  EXPECT_EQ(launcher.child(), 0);
  ::close(answering.fd);

  app::ServiceLauncher remote;
  remote.start(files_, "10.255.255.1:" + std::to_string(port_));
  remote.waitUntilReady();
  EXPECT_EQ(remote.child(), 0);

  app::ServiceLauncher portable;
  portable.start(ProgramFiles::portable(prefix_.path() + "/bin"), address());
  portable.waitUntilReady();
  EXPECT_EQ(portable.child(), 0);
  EXPECT_FALSE(app::SomethingListens(port_, 200));
}

}  // namespace
