#include "tools/song-service/catalogue/LameEncoder.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <memory>
#include <sstream>

extern char** environ;

namespace songservice {
namespace {

void putLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples, int sampleRate,
              int channels) {
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::string header = "RIFF";
  putLittleEndian(header, 36 + dataBytes, 4);
  header += "WAVEfmt ";
  putLittleEndian(header, 16, 4);
  putLittleEndian(header, 1, 2);  // PCM
  putLittleEndian(header, channels, 2);
  putLittleEndian(header, sampleRate, 4);
  putLittleEndian(header, sampleRate * channels * 2, 4);
  putLittleEndian(header, channels * 2, 2);
  putLittleEndian(header, 16, 2);
  header += "data";
  putLittleEndian(header, dataBytes, 4);

  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file) return false;
  // The samples are written as they lie in memory, which is little-endian on our targets.
  return std::fwrite(header.data(), 1, header.size(), file.get()) == header.size() &&
         std::fwrite(samples.data(), 2, samples.size(), file.get()) == samples.size() &&
         std::fflush(file.get()) == 0;
}

bool encodeWithLame(const std::string& wavPath, const std::string& mp3Path,
                    const std::string& arguments, std::string* error) {
  std::vector<std::string> words{"lame", "--quiet", "--nohist", "--noreplaygain", "-q", "7"};
  std::istringstream split(arguments);
  for (std::string word; split >> word;) words.push_back(word);
  words.push_back(wavPath);
  words.push_back(mp3Path);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  pid_t child = 0;
  int spawnError = posix_spawnp(&child, "lame", nullptr, nullptr, argv.data(), environ);
  if (spawnError != 0) {
    *error = "cannot run lame (is the package lame installed?)";
    return false;
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    *error = "lame failed on " + wavPath;
    return false;
  }
  return true;
}

}  // namespace songservice
