// rdbpack: writes, lists and unpacks resource packages.
//   rdbpack pack OUT FILE...   entries in the order given
//   rdbpack list PKG           index, size, kind and digest of each entry
//   rdbpack unpack PKG DIR     entries as DIR/000.png, DIR/001.jpg, ...

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/Files.h"
#include "platform/text/CodePage.h"
#include "resources/ResourcePackage.h"
#include "resources/ResourcePackageWriter.h"

namespace {

using platform::system::ByteBlock;

std::string_view asText(const ByteBlock& block) {
  return {reinterpret_cast<const char*>(block.data()), block.size()};
}

// A file name extension from the first bytes of an image file.
const char* kindOf(const ByteBlock& entry) {
  std::string_view head = asText(entry).substr(0, 8);
  if (head.starts_with("\x89PNG")) return "png";
  if (head.starts_with("\xFF\xD8\xFF")) return "jpg";
  if (head.starts_with("GIF8")) return "gif";
  if (head.starts_with("BM")) return "bmp";
  if (head.starts_with(std::string_view("\0\0\1\0", 4))) return "ico";
  return "bin";
}

int usage() {
  std::fprintf(stderr,
               "usage: rdbpack pack OUT FILE...\n"
               "       rdbpack list PKG\n"
               "       rdbpack unpack PKG DIR\n");
  return 2;
}

bool unpack(const std::string& path, std::vector<ByteBlock>& entries) {
  std::string message;
  bool ok = resources::UnpackResourcePackage(path, entries, message);
  if (!ok)
    std::fprintf(stderr, "rdbpack: %s: %s\n", path.c_str(),
                 platform::text::ansiToUtf8(message).c_str());
  return ok;
}

int pack(const std::string& out, const std::vector<std::string>& files) {
  std::vector<ByteBlock> entries;
  for (const std::string& file : files) {
    auto data = platform::system::readWholeFile(file);
    if (!data) {
      std::fprintf(stderr, "rdbpack: cannot read %s\n", file.c_str());
      return 1;
    }
    entries.push_back(std::move(*data));
  }
  auto package = resources::PackResourceEntries(entries);
  if (!package) {
    std::fprintf(stderr, "rdbpack: found no separator that occurs in none of the files\n");
    return 1;
  }
  if (!platform::system::writeFileAtomically(out, *package)) {
    std::fprintf(stderr, "rdbpack: cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}

int list(const std::string& path) {
  std::vector<ByteBlock> entries;
  if (!unpack(path, entries)) return 1;
  for (size_t i = 0; i < entries.size(); ++i)
    std::printf("%3zu %9zu %-3s %s\n", i, entries[i].size(), kindOf(entries[i]),
                resources::PackageDigest(asText(entries[i])).c_str());
  return 0;
}

int unpackTo(const std::string& path, const std::string& dir) {
  std::vector<ByteBlock> entries;
  if (!unpack(path, entries)) return 1;
  ::mkdir(dir.c_str(), 0777);
  for (size_t i = 0; i < entries.size(); ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/%03zu.%s", i, kindOf(entries[i]));
    if (!platform::system::writeFileAtomically(dir + name, asText(entries[i]))) {
      std::fprintf(stderr, "rdbpack: cannot write %s%s\n", dir.c_str(), name);
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() >= 2 && args[0] == "pack")
    return pack(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
  if (args.size() == 2 && args[0] == "list") return list(args[1]);
  if (args.size() == 3 && args[0] == "unpack") return unpackTo(args[1], args[2]);
  return usage();
}
