#pragma once
// Lists the regular files under a music folder, one implementation per system.

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace songservice {

struct FoundFile {
  std::string path;
  long long size, mtimeNs;
};

class FolderWalk {
 public:
  std::vector<FoundFile> files;    // non-empty regular files
  std::vector<std::string> folders;  // every folder read, the root first

  // false when the root itself cannot be read.
  bool walk(const std::string& root);

 private:
  bool walkFolder(const std::string& folder);

  // Folders already read, by device and file number: a link back up is read once.
  std::set<std::pair<std::uint64_t, std::uint64_t>> visited_;
};

// Tells on stderr that a file or folder is left out, and why.
void skipLine(const std::string& path, const std::string& why);

}  // namespace songservice
