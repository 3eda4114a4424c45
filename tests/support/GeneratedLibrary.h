#pragma once
// A small music folder made once per test program with sox and the encoders: tagged songs in
// every format the service offers (Latin, Chinese and Japanese tags, embedded and folder
// covers), untagged files, a GBK-named file, a misnamed one, AAC- and WMA-looking files,
// damaged files and a symlink loop. Made once per build folder (ctest runs every test as a
// program of its own) and kept there; tests that change files work on a copy.

#include <string>
#include <vector>

namespace testsupport {

class GeneratedLibrary {
 public:
  // Made on the first call; a failed test assertion when a tool is missing.
  static const GeneratedLibrary& get();

  const std::string& root() const { return root_; }
  std::string path(const std::string& relative) const { return root_ + "/" + relative; }

  // A one-second tone encoded by format ("mp3", "flac", "ogg", "opus", "wav") with the tags
  // given ("" leaves one out) into path.
  static bool encode(const std::string& format, const std::string& path, const std::string& title,
                     const std::string& artist, const std::string& album = "", const std::string& cover = "");
  // The same from a WAV file of one's own (longer songs, sounds told apart by ear).
  static bool encodeSound(const std::string& wav, const std::string& format, const std::string& path,
                          const std::string& title, const std::string& artist, const std::string& album = "",
                          const std::string& cover = "");

  // A copy of the whole folder (symlinks kept) at target, for tests that change it.
  void copyTo(const std::string& target) const;

  ~GeneratedLibrary();

 private:
  GeneratedLibrary();
  void make();
  std::string root_;
};

// Runs a command (argv[0] looked up in PATH) with its output dropped; true when it exits 0.
bool runQuietly(const std::vector<std::string>& words);

}  // namespace testsupport
