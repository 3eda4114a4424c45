// The launcher on Windows with the real service: an installed layout (uninstall.exe beside
// the programs, the demo catalogue in catalogue\) in a temporary folder, and the user's Music
// known folder pointed at a folder of the test's own.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "app/ServiceLauncher.h"
#include "net/HttpRequest.h"
#include "platform/system/WideText.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSocket.h"

namespace {

namespace fs = std::filesystem;
using platform::system::ProgramFiles;

constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

fs::path wide(const std::string& utf8) { return fs::path(platform::system::widen(utf8)); }

std::string search(int port, const std::string& keyword) {
  return net::HttpRequest("http://127.0.0.1:" + std::to_string(port) + "/api/songlist2?query=" + keyword +
                          "&ie=utf-8&type=search&id=1&jsoncallback=jsonp1344355138823");
}

bool endsWithin(HANDLE process, DWORD ms) { return ::WaitForSingleObject(process, ms) == WAIT_OBJECT_0; }

// Points the user's Music known folder somewhere else while it lives.
class MusicFolderSetting {
 public:
  explicit MusicFolderSetting(const std::wstring& folder) {
    DWORD size = sizeof old_;
    had_ = ::RegGetValueW(HKEY_CURRENT_USER, kShellFolders, L"My Music", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ |
                          RRF_NOEXPAND, nullptr, old_, &size) == ERROR_SUCCESS;
    set(folder.c_str());
  }
  ~MusicFolderSetting() {
    if (had_) {
      set(old_);
    } else {
      ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"My Music");
    }
  }

 private:
  static void set(const wchar_t* folder) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"My Music", REG_EXPAND_SZ, folder,
                      static_cast<DWORD>((std::wcslen(folder) + 1) * sizeof(wchar_t)));
  }
  wchar_t old_[MAX_PATH * 2] = {};
  bool had_ = false;
};

class InstalledService : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = wide(root_.path()) / L"Program Files" / L"Tunora";
    fs::create_directories(program_);
    std::ofstream(program_ / L"uninstall.exe").put('\0');
    fs::copy_file(TUNORA_SONG_SERVICE, program_ / L"tunora-song-service.exe");
    fs::copy(TUNORA_SONG_CATALOGUE, program_ / L"catalogue", fs::copy_options::recursive);
    // A space and Chinese in the name: the child's command line must carry them whole.
    music_ = wide(root_.path()) / L"My Music \u97f3\u4e50";
    fs::create_directories(music_);
    musicSetting_ = std::make_unique<MusicFolderSetting>(music_.wstring());
    files_ = ProgramFiles::forProgramBesideUninstaller(platform::system::narrow(program_.wstring()),
                                                        platform::system::narrow((wide(root_.path()) / L"AppData").wstring()));
    ASSERT_TRUE(files_.installed());
    ASSERT_TRUE(files_.makeUserFolders());
  }
  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

  testsupport::TempDir root_;
  fs::path program_;
  fs::path music_;
  std::unique_ptr<MusicFolderSetting> musicSetting_;
  ProgramFiles files_;
  int port_ = testsupport::closedLoopbackPort();
};

// Opens the launcher's child, so that its end can be seen after the launcher has let it go.
HANDLE openChild(app::ServiceLauncher& launcher) {
  const auto pid = static_cast<DWORD>(launcher.child());
  return pid == 0 ? nullptr : ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
}

TEST_F(InstalledService, ServesTheMusicFolderWithItsPresetsAndEndsWithTheLauncher) {
  fs::copy_file(wide(std::string(std::getenv("TUNORA_GENERATED_LIBRARY")) + "/Aurora Vale/First Light/02.flac"),
                music_ / L"02.flac");
  HANDLE child = nullptr;
  {
    app::ServiceLauncher launcher;
    launcher.start(files_, address());
    launcher.waitUntilReady();
    child = openChild(launcher);
    ASSERT_NE(child, nullptr);
    // Told through the child's output: the client's preset list waits for this.
    EXPECT_TRUE(launcher.waitForPresets(std::chrono::seconds(60)));
    EXPECT_EQ(launcher.presetFile(files_), files_.userPath("\\plugins\\js_rilu.txt"));
    std::string answer;
    for (int i = 0; i < 100 && answer.find("Aurora Vale") == std::string::npos; ++i) {
      answer = search(port_, "Aurora");
      if (answer.find("Aurora Vale") == std::string::npos) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_NE(answer.find("Aurora Vale"), std::string::npos) << answer;
    EXPECT_TRUE(fs::exists(wide(files_.userPath("\\plugins\\js_rilu.txt"))));
  }
  EXPECT_TRUE(endsWithin(child, 0));
  DWORD code = 1;
  EXPECT_TRUE(::GetExitCodeProcess(child, &code) && code == 0) << "asked to end, not cut off";
  ::CloseHandle(child);
}

TEST_F(InstalledService, AMusicFolderWithNothingPlayableGetsTheDemoCatalogue) {
  std::ofstream(music_ / L"cover.jpg") << "not a song";
  app::ServiceLauncher launcher;
  launcher.start(files_, address());
  launcher.waitUntilReady();
  ASSERT_NE(launcher.child(), 0);
  EXPECT_NE(search(port_, "Aurelia").find("Aurelia Finch"), std::string::npos);
}

// Run only as the client that the test below kills.
TEST(KilledClient, DISABLED_StartsTheServiceAndWaits) {
  const char* program = std::getenv("TUNORA_TEST_PROGRAM_FOLDER");
  const char* port = std::getenv("TUNORA_TEST_PORT");
  ASSERT_TRUE(program != nullptr && port != nullptr);
  app::ServiceLauncher launcher;
  launcher.start(ProgramFiles::forProgramBesideUninstaller(program, ""), std::string("127.0.0.1:") + port);
  launcher.waitUntilReady();
  std::printf("child %d\n", static_cast<int>(launcher.child()));
  std::fflush(stdout);
  ::Sleep(INFINITE);
}

TEST_F(InstalledService, TheServiceEndsWhenTheClientIsKilled) {
  ::SetEnvironmentVariableW(L"TUNORA_TEST_PROGRAM_FOLDER", program_.wstring().c_str());
  ::SetEnvironmentVariableW(L"TUNORA_TEST_PORT", std::to_wstring(port_).c_str());
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  ASSERT_TRUE(::CreatePipe(&read, &write, &inheritable, 0));
  ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(self) +
                      L"\" --gtest_also_run_disabled_tests --gtest_filter=KilledClient.DISABLED_StartsTheServiceAndWaits";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write;
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION client{};
  ASSERT_TRUE(::CreateProcessW(self, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &client));
  ::CloseHandle(write);

  // Its output up to the line that names the service's process.
  std::string output;
  char bytes[256];
  DWORD got = 0;
  while (output.find("child ") == std::string::npos || output.find('\n', output.find("child ")) == std::string::npos) {
    if (!::ReadFile(read, bytes, sizeof bytes, &got, nullptr) || got == 0) break;
    output.append(bytes, got);
  }
  const std::size_t at = output.find("child ");
  ASSERT_NE(at, std::string::npos) << output;
  HANDLE service =
      ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, static_cast<DWORD>(std::atoi(output.c_str() + at + 6)));
  ASSERT_NE(service, nullptr) << output;
  EXPECT_FALSE(endsWithin(service, 0));

  ::TerminateProcess(client.hProcess, 9);
  EXPECT_TRUE(endsWithin(client.hProcess, 5000));
  if (!endsWithin(service, 5000)) {
    ADD_FAILURE() << "the service outlived its client";
    ::TerminateProcess(service, 9);  // an orphan would hold the test's output open
  }
  for (HANDLE handle : {service, client.hProcess, client.hThread, read}) ::CloseHandle(handle);
}

}  // namespace
