// tunora-song-service [--port N] [--listen ADDR] [--catalogue DIR]
//                     [--library DIR]... [--database PATH] [--write-presets FILE]
//                     [--slow BYTES_PER_S] [--cut-after BYTES] [--no-ranges] [--links-404] [--links-no-url]
// Serves the demo catalogue, or the music folders given with --library, until SIGTERM or
// SIGINT; prints "listening PORT" once connections are accepted.

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/ProgramArguments.h"
#include "tools/song-service/CatalogueSource.h"
#include "tools/song-service/ServiceSystem.h"
#include "tools/song-service/SongService.h"
#include "tools/song-service/library/Library.h"
#include "tools/song-service/library/LibrarySource.h"
#include "tools/song-service/library/PresetWriter.h"

using namespace songservice;

namespace {

constexpr int kDefaultPort = 8725;

struct CommandLine {
  int port = kDefaultPort;
  std::string listen = "127.0.0.1";
  std::string catalogue;
  std::vector<std::string> libraries;
  std::string database;
  bool databaseGiven = false;
  std::string presetFile;
  ServiceOptions options;
};

void printUsage() {
  std::fprintf(stderr,
               "usage: tunora-song-service [--port N] [--listen ADDR] [--catalogue DIR]\n"
               "                           [--library DIR]... [--database PATH] [--write-presets FILE]\n"
               "                           [--slow BYTES_PER_S] [--cut-after BYTES] [--no-ranges] [--links-404] [--links-no-url]\n");
}

bool parseCount(const std::string& text, long long minimum, long long maximum, long long& out) {
  std::string_view view(text);
  auto [end, status] = std::from_chars(view.data(), view.data() + view.size(), out);
  return status == std::errc() && end == view.data() + view.size() && out >= minimum && out <= maximum;
}

bool parseCommandLine(const std::vector<std::string>& argv, CommandLine& line) {
  const std::size_t argc = argv.size();
  for (std::size_t i = 1; i < argc; ++i) {
    std::string_view flag = argv[i];
    const bool hasValue = i + 1 < argc;
    long long number = 0;
    if (flag == "--links-404") {
      line.options.links404 = true;
    } else if (flag == "--no-ranges") {
      line.options.noRanges = true;
    } else if (flag == "--links-no-url") {
      line.options.linksWithoutUrl = true;
    } else if (flag == "--catalogue" && hasValue) {
      line.catalogue = argv[++i];
    } else if (flag == "--library" && hasValue) {
      line.libraries.push_back(argv[++i]);
    } else if (flag == "--database" && hasValue) {
      line.database = argv[++i];
      line.databaseGiven = true;
    } else if (flag == "--write-presets" && hasValue) {
      line.presetFile = argv[++i];
    } else if (flag == "--listen" && hasValue) {
      line.listen = argv[++i];
    } else if (flag == "--port" && hasValue && parseCount(argv[++i], 0, 65535, number)) {
      line.port = static_cast<int>(number);
    } else if (flag == "--slow" && hasValue && parseCount(argv[++i], 1, 1LL << 40, number)) {
      line.options.slowBytesPerSecond = number;
    } else if (flag == "--cut-after" && hasValue && parseCount(argv[++i], 0, 1LL << 40, number)) {
      line.options.cutAfterBytes = number;
    } else {
      std::fprintf(stderr, "tunora-song-service: bad argument: %s\n", argv[i].c_str());
      return false;
    }
  }
  return true;
}

// Absolute folders without symlinks; false when one is not a readable folder.
bool resolveFolders(std::vector<std::string>& folders) {
  for (std::string& folder : folders) {
    if (!resolveFolder(folder)) {
      std::fprintf(stderr, "tunora-song-service: %s is not a folder\n", folder.c_str());
      return false;
    }
  }
  // A folder inside another given one is read with it, once.
  std::sort(folders.begin(), folders.end());
  std::vector<std::string> outermost;
  for (const std::string& folder : folders) {
    bool inside = std::any_of(outermost.begin(), outermost.end(), [&](const std::string& outer) {
      return folder == outer || outer == "/" || folder.rfind(outer + "/", 0) == 0;
    });
    if (!inside) outermost.push_back(folder);
  }
  folders = std::move(outermost);
  return true;
}

// How a client on this machine reaches the service, for the preset links.
std::string presetHost(const std::string& listen, int port) {
  bool anyAddress = listen == "0.0.0.0" || listen == "::" || listen.find(':') != std::string::npos;
  return (anyAddress ? std::string("127.0.0.1") : listen) + ":" + std::to_string(port);
}

}  // namespace

int main(int argc, char** argv) {
  prepareProcess();
  CommandLine line;
  if (!parseCommandLine(platform::system::programArguments(argc, argv), line)) {
    printUsage();
    return 2;
  }

  std::unique_ptr<Library> library;
  std::unique_ptr<SongSource> source;
  if (line.libraries.empty()) {
    if (line.catalogue.empty()) line.catalogue = defaultCatalogue();
    std::string error;
    auto catalogue = Catalogue::load(line.catalogue, &error);
    if (!catalogue) {
      std::fprintf(stderr, "tunora-song-service: %s\n", error.c_str());
      return 1;
    }
    source = std::make_unique<CatalogueSource>(std::move(*catalogue));
  } else {
    if (!resolveFolders(line.libraries)) return 1;
    LibrarySettings settings;
    settings.folders = line.libraries;
    settings.database = line.databaseGiven ? line.database : defaultDatabase();
    library = std::make_unique<Library>(std::move(settings));
    source = std::make_unique<LibrarySource>([&library] { return library->index(); });
  }

  SongService service(*source, line.options);
  int port = service.bind(line.listen, line.port);
  if (port < 0) {
    std::fprintf(stderr, "tunora-song-service: cannot listen on %s:%d: %s\n", line.listen.c_str(), line.port,
                 std::strerror(errno));
    return 1;
  }
  if (library) {
    if (!line.presetFile.empty()) {
      // The preset list follows the library; rewritten only when its songs change. The first
      // scan's outcome is told on stdout ("presets FILE", or "presets none" for no songs).
      library->onScanned([file = line.presetFile, host = presetHost(line.listen, port), written = std::string(),
                          told = false](const LibraryIndex& index) mutable {
        std::string text = presetText(index, host);
        bool ok = !text.empty() && (text == written || writeFileAtomically(file, text));
        if (!text.empty() && !ok)
          std::fprintf(stderr, "tunora-song-service: cannot write the preset file %s: %s\n", file.c_str(),
                       std::strerror(errno));
        if (ok) written = std::move(text);
        if (!told) {
          told = true;
          std::printf("presets %s\n", ok ? file.c_str() : "none");
          std::fflush(stdout);
        }
      });
    }
  }
  auto endRequests = std::make_unique<EndRequests>([&service] { service.stop(); });
  std::printf("listening %d\n", port);
  std::fflush(stdout);
  // Connections wait in the queue meanwhile; the stored index is answered at once after.
  std::string error;
  const bool started = !library || library->start(&error);
  if (!started) std::fprintf(stderr, "tunora-song-service: %s\n", error.c_str());

  bool served = started && service.run();
  endRequests.reset();
  if (library) library->stop();
  if (!started) return 1;
  if (!served) {
    std::fprintf(stderr, "tunora-song-service: serving failed\n");
    return 1;
  }
  return 0;
}
