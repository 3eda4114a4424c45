#pragma once
// A folder of its own for each test, removed afterwards.

#include <atomic>
#include <filesystem>
#include <random>
#include <string>

namespace testsupport {

// A name in the system's temporary folder that nothing else uses yet.
inline std::string uniqueTempPath(const std::string& prefix) {
  static std::atomic<unsigned> counter{0};
  static const unsigned long long seed = std::random_device{}() * 0x9E3779B97F4A7C15ull + std::random_device{}();
  for (;;) {
    std::string name = prefix + std::to_string(seed) + "-" + std::to_string(counter.fetch_add(1));
    std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    if (!std::filesystem::exists(path)) return path.string();
  }
}

class TempDir {
 public:
  TempDir() {
    // Creating the folder is what claims the name.
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      std::string candidate = uniqueTempPath("tunora-test-");
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) path_ = candidate;
    }
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace testsupport
