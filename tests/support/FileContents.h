#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testsupport {

// Test paths are UTF-8 on both systems (a narrow path means the ANSI code page on Windows).
inline std::filesystem::path utf8Path(const std::string& path) { return std::u8string(path.begin(), path.end()); }

inline std::string readFile(const std::string& path) {
  std::ifstream in(utf8Path(path), std::ios::binary);
  std::stringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

inline void writeFile(const std::string& path, const std::string& contents) {
  std::ofstream(utf8Path(path), std::ios::binary) << contents;
}

}  // namespace testsupport
