#pragma once
// The songs the service offers, read from a catalogue folder: the index, every media file
// and singer picture it lists, held in memory so a slow or cut download never touches disk.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/song-service/CatalogueIndex.h"

namespace songservice {

class Catalogue {
 public:
  // Empty when the index is missing or malformed or a listed file cannot be read; *error
  // says which.
  static std::optional<Catalogue> load(const std::string& folder, std::string* error);

  const std::vector<IndexSong>& songs() const { return index_.songs; }

  // Songs whose title or singer holds the keyword (ASCII letters in any case), in catalogue
  // order. Blanks around the keyword are ignored; a keyword of blanks only finds nothing.
  std::vector<const IndexSong*> search(std::string_view keyword) const;

  // The song whose title immediately followed by its singer is the text, or null.
  const IndexSong* findByTitleThenSinger(std::string_view text) const;

  const IndexSinger* findSinger(std::string_view name) const;

  // 1-based position of the singer in the index, 0 when unknown.
  int singerNumber(std::string_view name) const;

  // Bytes of a media file or picture the index lists, or null for any other name.
  std::shared_ptr<const std::string> media(std::string_view file) const;
  std::shared_ptr<const std::string> picture(std::string_view file) const;

 private:
  CatalogueIndex index_;
  std::map<std::string, std::shared_ptr<const std::string>, std::less<>> media_;
  std::map<std::string, std::shared_ptr<const std::string>, std::less<>> pictures_;
};

}  // namespace songservice
