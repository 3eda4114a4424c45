// The kept settings: every value survives a write of another, older files read the same,
// and what is kept of the song at its change, its pause and the player's closing.

#include "app/ProgramSettings.h"

#include <gtest/gtest.h>

#include <future>

#include "app/SongKeeper.h"
#include "platform/text/CodePage.h"
#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"

namespace {

using app::KeptSong;
using app::ProgramSettings;
using app::SongList;

class ProgramSettingsTest : public testing::Test {
 protected:
  testsupport::TempDir dir;
  std::string path = dir.file("program parameter.ini");
};

KeptSong addressSong() {
  return {SongList::Address, 0, platform::text::utf8ToAnsi("晴天 \"live\" "), "", "http://h:1/a b.mp3", 183.5, 7.25};
}

TEST_F(ProgramSettingsTest, EveryValueReadsBackAndOlderFilesReadTheSame) {
  testsupport::writeFile(path, "; mine\r\n[parameter]\r\nvolume size=73\r\nservice address=h:9\r\n");
  ProgramSettings read = app::ReadProgramSettings(path);
  EXPECT_EQ(read.volume, 73);
  EXPECT_FALSE(read.song);
  EXPECT_EQ(read.keyword, "");
  EXPECT_TRUE(read.notify);

  ProgramSettings settings;
  settings.volume = 20;
  settings.song = addressSong();
  settings.keyword = " two  words ";
  settings.notify = false;
  ASSERT_TRUE(app::WriteProgramSettings(path, settings));
  EXPECT_EQ(app::ReadProgramSettings(path), settings);
  const std::string text = testsupport::readFile(path);
  EXPECT_EQ(text.rfind("; mine\r\n[parameter]\r\nvolume size=20\r\nservice address=h:9\r\n", 0), 0u) << text;

  settings.song = KeptSong{SongList::Presets, 3, "Tone", "A", "", 0, 0};
  ASSERT_TRUE(app::WriteProgramSettings(path, settings));
  EXPECT_EQ(app::ReadProgramSettings(path), settings);
  settings.song.reset();
  ASSERT_TRUE(app::WriteProgramSettings(path, settings));
  EXPECT_EQ(app::ReadProgramSettings(path), settings);
  // A song from an address without its address cannot be played again.
  testsupport::writeFile(path, "[parameter]\nsong title=x\nsong list=address\n");
  EXPECT_FALSE(app::ReadProgramSettings(path).song);
}

TEST_F(ProgramSettingsTest, AWriteWaitingBehindAnotherKeepsEveryValue) {
  app::BackgroundWriter writer;
  app::SettingsKeeper keeper(writer, path, {});
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::promise<void> busy;
  writer.submit([&] {
    busy.set_value();
    released.wait();
    return true;
  });
  busy.get_future().wait();
  // Both wait behind the busy write; only the newest request is served.
  keeper.keepVolume(30);
  keeper.keepSong(addressSong());
  release.set_value();
  ASSERT_TRUE(writer.flush());
  const ProgramSettings written = app::ReadProgramSettings(path);
  EXPECT_EQ(written.volume, 30);
  EXPECT_EQ(written.song, addressSong());
}

TEST_F(ProgramSettingsTest, TheSongIsKeptAtItsChangeItsPauseAndTheClosingAndForgottenWhenUnplayable) {
  app::BackgroundWriter writer;
  app::SettingsKeeper keeper(writer, path, {});
  app::SongKeeper songs(keeper);
  app::PlayerStatus status;
  status.state = app::PlayState::Playing;
  status.title = "Tone";
  status.singer = "A";
  status.list = SongList::Presets;
  status.row = 2;
  status.length = 3;
  status.position = 0.1;
  songs.playerChanged(status);
  songs.songChanged(status);
  EXPECT_EQ(keeper.settings().song, (KeptSong{SongList::Presets, 2, "Tone", "A", "", 3, 0.1}));

  status.state = app::PlayState::Paused;
  status.position = 1.5;
  songs.playerChanged(status);
  EXPECT_EQ(keeper.settings().song->position, 1.5);
  // A stopped song keeps where it was paused; a playing one where it is at the close.
  status.state = app::PlayState::Stopped;
  status.position = 0;
  songs.playerChanged(status);
  songs.playerClosing(status);
  EXPECT_EQ(keeper.settings().song->position, 1.5);
  status.state = app::PlayState::Playing;
  status.position = 2.25;
  songs.playerClosing(status);
  ASSERT_TRUE(writer.flush());
  EXPECT_EQ(app::ReadProgramSettings(path).song->position, 2.25);

  app::PlayerStatus forgotten;
  songs.playerChanged(forgotten);
  ASSERT_TRUE(writer.flush());
  EXPECT_FALSE(app::ReadProgramSettings(path).song);
}

}  // namespace
