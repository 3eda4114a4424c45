#pragma once
// What the song-service tests share: the built service and catalogue, the index, and a
// libcurl fetch that keeps binary bodies and the status.

#include <string>

#include "tools/song-service/CatalogueIndex.h"

namespace songservice::test {

inline const std::string kServiceExe = TUNORA_SONG_SERVICE_EXE;
inline const std::string kCatalogue = TUNORA_SONG_CATALOGUE_DIR;

// The built catalogue's index; a failed test assertion when it cannot be read.
CatalogueIndex builtIndex();

std::string catalogueFile(const std::string& name);

struct Fetched {
  int curlCode = -1;
  long status = 0;
  std::string headers;  // the raw header block
  std::string body;
  double seconds = 0;

  // Value of a response header (name compared ignoring case), "" when absent.
  std::string header(const std::string& name) const;
};

// GET (or HEAD) with an optional extra header line such as "Range: bytes=0-9".
Fetched fetch(const std::string& url, const std::string& extraHeader = {}, bool head = false);

}  // namespace songservice::test
