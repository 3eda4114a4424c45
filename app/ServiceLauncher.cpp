#include "app/ServiceLauncher.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "app/PresetFile.h"
#include "app/ServiceAddress.h"

namespace app {
namespace {

namespace fs = std::filesystem;

constexpr int kMostEntriesLooked = 5000;
constexpr const char* kPlayableExtensions[] = {".mp3", ".ogg", ".oga", ".opus", ".flac", ".wav"};

// UTF-8 in and out on every system: a narrow path on Windows means the ANSI code page, in
// which a name outside it cannot be written at all.
fs::path pathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

bool isPlayableName(const fs::path& path) {
  const std::u8string text = path.extension().u8string();
  std::string extension(text.begin(), text.end());
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::find_if(std::begin(kPlayableExtensions), std::end(kPlayableExtensions),
                      [&](const char* known) { return extension == known; }) != std::end(kPlayableExtensions);
}

}  // namespace

std::optional<int> PortOnThisMachine(const std::string& address) {
  const std::string checked = ServiceAddressFrom(address.c_str());
  if (checked != address) return std::nullopt;
  const auto colon = address.rfind(':');
  const std::string host = address.substr(0, colon);
  if (host != "127.0.0.1" && host != "localhost") return std::nullopt;
  return std::atoi(address.c_str() + colon + 1);
}

bool HoldsPlayableFile(const std::string& folder) {
  std::error_code error;
  fs::recursive_directory_iterator it(pathOf(folder), fs::directory_options::skip_permission_denied, error);
  int looked = 0;
  for (const fs::recursive_directory_iterator end; !error && it != end && looked < kMostEntriesLooked;
       it.increment(error), ++looked) {
    const fs::directory_entry& entry = *it;
    const bool hidden = entry.path().filename().u8string().rfind(u8'.', 0) == 0;
    std::error_code ignored;
    if (entry.is_directory(ignored)) {
      if (hidden || entry.is_symlink(ignored)) it.disable_recursion_pending();
      continue;
    }
    if (!hidden && entry.is_regular_file(ignored) && isPlayableName(entry.path())) return true;
  }
  return false;
}

std::vector<std::string> ServiceCommandLine(const platform::system::ProgramFiles& files, int port,
                                            const std::string& musicFolder) {
  std::vector<std::string> line{files.programFolder() + "/" + kServiceProgram, "--port", std::to_string(port)};
  if (!musicFolder.empty() && HoldsPlayableFile(musicFolder)) {
    line.insert(line.end(), {"--library", musicFolder});
    const std::string presets = files.userPath("\\plugins\\js_rilu.txt");
    if (!presets.empty()) line.insert(line.end(), {"--write-presets", presets});
  } else {
    line.insert(line.end(), {"--catalogue", files.dataPath("\\catalogue")});
  }
  return line;
}

ServiceLauncher::~ServiceLauncher() { stop(); }

void ServiceLauncher::start(const platform::system::ProgramFiles& files, const std::string& address) {
  std::lock_guard lock(mutex_);
  if (thread_.joinable() || stopping_ || !files.installed() || !PortOnThisMachine(address)) return;
  ready_ = false;
  thread_ = std::thread(&ServiceLauncher::run, this, files, address);
}

void ServiceLauncher::waitUntilReady() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return ready_; });
}

void ServiceLauncher::stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

pid_t ServiceLauncher::child() {
  std::lock_guard lock(mutex_);
  return child_;
}

std::string ServiceLauncher::presetFile(const platform::system::ProgramFiles& files) {
  std::lock_guard lock(mutex_);
  return presetFile_.empty() ? PresetFilePath(files) : presetFile_;
}

bool ServiceLauncher::waitForPresets(std::chrono::milliseconds most) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, most, [this] { return ready_ && presetsTold_; });
}

void ServiceLauncher::starting(const std::vector<std::string>& commandLine) {
  const auto flag = std::find(commandLine.begin(), commandLine.end(), "--write-presets");
  std::lock_guard lock(mutex_);
  presetFile_ = flag != commandLine.end() && flag + 1 != commandLine.end() ? *(flag + 1) : std::string();
  presetsTold_ = presetFile_.empty();
}

void ServiceLauncher::heard(std::string_view output) {
  heard_.append(output);
  for (std::size_t end; (end = heard_.find('\n')) != std::string::npos; heard_.erase(0, end + 1))
    if (std::string_view(heard_).substr(0, end).starts_with("presets ")) presetsSettled();
}

void ServiceLauncher::presetsSettled() {
  {
    std::lock_guard lock(mutex_);
    presetsTold_ = true;
  }
  changed_.notify_all();
}

void ServiceLauncher::markReady() {
  {
    std::lock_guard lock(mutex_);
    ready_ = true;
  }
  changed_.notify_all();
}

}  // namespace app
