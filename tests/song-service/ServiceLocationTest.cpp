// Where the service finds the demo catalogue when none is named: installed, beside its
// program in ../share/tunora/catalogue; never a build-tree path compiled into it.

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <filesystem>

#include "tests/song-service/LibraryProcess.h"
#include "tests/support/TempDir.h"

namespace songservice::test {
namespace {

namespace fs = std::filesystem;

struct Started {
  int pid = 0, port = 0;
  FILE* out = nullptr;
  // Ends the program and waits for it.
  void stop() {
    if (pid > 0) ::kill(pid, SIGTERM);
    if (out) ::pclose(out);
    out = nullptr;
    pid = 0;
  }
};

// Runs the program without --catalogue; its first lines are its pid and "listening PORT".
Started startPlain(const std::string& program) {
  Started started;
  started.out = ::popen(("echo $$; exec '" + program + "' --port 0 2>/dev/null").c_str(), "r");
  if (!started.out) return started;
  char line[128];
  if (std::fgets(line, sizeof line, started.out)) started.pid = std::atoi(line);
  if (std::fgets(line, sizeof line, started.out)) std::sscanf(line, "listening %d", &started.port);
  if (started.port == 0) started.stop();
  return started;
}

TEST(ServiceLocation, AnInstalledServiceFindsTheCatalogueInShareBesideItsProgram) {
  testsupport::TempDir prefix;
  fs::create_directories(prefix.file("bin"));
  fs::create_directories(prefix.file("share/tunora"));
  const std::string program = prefix.file("bin/tunora-song-service");
  fs::copy_file(kServiceExe, program);

  // Without the share folder nothing is found, not even the build tree's catalogue.
  EXPECT_EQ(startPlain(program).port, 0);

  fs::create_directory_symlink(kCatalogue, prefix.file("share/tunora/catalogue"));
  Started service = startPlain(program);
  ASSERT_GT(service.port, 0);
  Fetched answer = fetch("http://127.0.0.1:" + std::to_string(service.port) + "/api/songlist2?query=" +
                         net::EncodeQueryText(utf8ToAnsi("白沐阳")) + "&jsoncallback=cb");
  EXPECT_EQ(split(answer.body, "},{").size(), 6u);
  service.stop();
}

}  // namespace
}  // namespace songservice::test
