// A music folder that changes under the service: files added, retagged and removed while it
// runs, restarts on the same index, and an index file that is damaged.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "tests/song-service/LibraryProcess.h"
#include "tests/support/FileContents.h"
#include "tests/support/GeneratedLibrary.h"
#include "tests/support/TempDir.h"
#include "tools/song-service/library/LibraryScanner.h"

namespace songservice::test {
namespace {

namespace fs = std::filesystem;
using testsupport::GeneratedLibrary;

// Within the two seconds a change may take, with room for a loaded machine.
constexpr auto kChangeSeen = std::chrono::milliseconds(3000);

std::string mediaId(const std::string& link) {
  std::size_t slash = link.rfind('/');
  return slash == std::string::npos ? std::string() : link.substr(slash + 1);
}

TEST(LibraryChanges, FilesAddedRetaggedAndRemovedAreAnsweredWhileRunning) {
  testsupport::TempDir work;
  const std::string folder = work.file("music");
  GeneratedLibrary::get().copyTo(folder);
  LibraryProcess service(folder, work.file("index.sqlite"));
  ASSERT_GT(service.port(), 0);
  ASSERT_TRUE(service.waitFor("Morning Light", [](const auto& s) { return s.size() == 1; }, kChangeSeen * 5));
  const std::vector<Song> before = service.search("Morning Light");
  const std::string oldLink = service.link(before[0]);

  // Made beside the folder and moved in whole, as a copy finishes.
  ASSERT_TRUE(GeneratedLibrary::encode("ogg", work.file("new.ogg"), "Brand New Day", "Newcomer"));
  fs::rename(work.file("new.ogg"), folder + "/Star/new.ogg");
  EXPECT_TRUE(service.waitFor("brand new", [](const auto& s) { return s.size() == 1; }, kChangeSeen));

  // Retagged in place: same path, so the same id with the new title.
  ASSERT_TRUE(GeneratedLibrary::encode("mp3", work.file("re.mp3"), "Morning Rewritten", "Aurora Vale"));
  fs::rename(work.file("re.mp3"), folder + "/Aurora Vale/First Light/01 Morning Light.mp3");
  ASSERT_TRUE(service.waitFor("rewritten", [](const auto& s) { return s.size() == 1; }, kChangeSeen));
  EXPECT_TRUE(service.search("Morning Light").empty());
  EXPECT_EQ(mediaId(service.link(service.search("rewritten")[0])), mediaId(oldLink));

  // Removed: no longer found, and its link serves nothing.
  const std::string eveningLink = service.link(service.search("Evening Tide")[0]);
  fs::remove(folder + "/Aurora Vale/First Light/02.flac");
  EXPECT_EQ(fetch(eveningLink).status, 404);
  EXPECT_TRUE(service.waitFor("Evening Tide", [](const auto& s) { return s.empty(); }, kChangeSeen));
}

TEST(LibraryChanges, RestartsKeepIdsAndADamagedIndexIsBuiltAgain) {
  testsupport::TempDir work;
  const std::string folder = GeneratedLibrary::get().root(), database = work.file("index.sqlite");
  std::string firstLink;
  {
    LibraryProcess service(folder, database);
    ASSERT_TRUE(service.waitFor("Twin", [](const auto& s) { return s.size() == 2; }, kChangeSeen * 5));
    firstLink = service.link(service.search("north")[0]);
  }
  {
    // The stored index answers at once after a restart, with the same ids.
    LibraryProcess service(folder, database);
    ASSERT_TRUE(service.waitFor("Twin", [](const auto& s) { return s.size() == 2; }, kChangeSeen));
    EXPECT_EQ(mediaId(service.link(service.search("north")[0])), mediaId(firstLink));
  }
  testsupport::writeFile(database, std::string(4096, '\x5A'));
  for (const char* suffix : {"-wal", "-shm"}) std::remove((database + suffix).c_str());
  LibraryProcess rebuilt(folder, database);
  ASSERT_GT(rebuilt.port(), 0);
  EXPECT_TRUE(rebuilt.waitFor("Twin", [](const auto& s) { return s.size() == 2; }, kChangeSeen * 5));
  EXPECT_EQ(testsupport::readFile(database).substr(0, 15), "SQLite format 3");
}

TEST(LibraryChanges, ARescanReadsOnlyWhatChanged) {
  testsupport::TempDir work;
  const std::string folder = work.file("music");
  GeneratedLibrary::get().copyTo(folder);
  std::atomic<bool> cancel{false};
  auto scan = [&] {
    std::string note;
    auto database = LibraryDatabase::open(work.file("index.sqlite"), &note);
    LibraryScanner scanner(*database, {folder}, true);
    return scanner.scan([](const auto&) {}, cancel);
  };
  ScanOutcome first = scan();
  EXPECT_GE(first.examined, 20u);  // songs and the files that are none
  EXPECT_EQ(scan().examined, 0u);
  const std::string touched = folder + "/Star/a.mp3";
  struct timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, touched.c_str(), times, 0), 0);
  fs::remove(folder + "/Star/b.mp3");
  ScanOutcome third = scan();
  EXPECT_EQ(third.examined, 1u);
  EXPECT_EQ(third.removed, 1u);
  EXPECT_EQ(third.records.size() + 1, first.records.size());
}

}  // namespace
}  // namespace songservice::test
