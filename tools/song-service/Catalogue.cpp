#include "tools/song-service/Catalogue.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tools/song-service/OpenFile.h"

namespace songservice {
namespace {

std::shared_ptr<const std::string> readWholeFile(const std::string& path) {
  std::ifstream in(streamPath(path), std::ios::binary);
  if (!in) return nullptr;
  std::ostringstream contents;
  contents << in.rdbuf();
  if (in.bad()) return nullptr;
  return std::make_shared<const std::string>(contents.str());
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowered(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
  return out;
}

std::string_view trimmedBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return lowerAscii(x) == lowerAscii(y);
         });
}

}  // namespace

std::optional<Catalogue> Catalogue::load(const std::string& folder, std::string* error) {
  auto indexText = readWholeFile(folder + "/" + kIndexFileName);
  if (!indexText) {
    *error = "no catalogue index in " + folder;
    return std::nullopt;
  }
  std::string why;
  auto index = parseIndex(*indexText, &why);
  if (!index) {
    *error = folder + "/" + kIndexFileName + ": " + why;
    return std::nullopt;
  }
  Catalogue catalogue;
  catalogue.index_ = std::move(*index);
  auto readListed = [&](const std::string& file, auto& into) {
    if (into.count(file)) return true;
    auto bytes = readWholeFile(folder + "/" + file);
    if (!bytes || bytes->empty()) {
      *error = "cannot read " + folder + "/" + file;
      return false;
    }
    into.emplace(file, std::move(bytes));
    return true;
  };
  for (const IndexSong& song : catalogue.index_.songs)
    if (!readListed(song.file, catalogue.media_)) return std::nullopt;
  for (const IndexSinger& singer : catalogue.index_.singers)
    if (!readListed(singer.picture, catalogue.pictures_)) return std::nullopt;
  return catalogue;
}

std::vector<const IndexSong*> Catalogue::search(std::string_view keyword) const {
  std::vector<const IndexSong*> hits;
  const std::string wanted = lowered(trimmedBlanks(keyword));
  if (wanted.empty()) return hits;
  for (const IndexSong& song : index_.songs) {
    if (lowered(song.title).find(wanted) != std::string::npos ||
        lowered(song.singer).find(wanted) != std::string::npos)
      hits.push_back(&song);
  }
  return hits;
}

const IndexSong* Catalogue::findByTitleThenSinger(std::string_view text) const {
  for (const IndexSong& song : index_.songs)
    if (sameIgnoringAsciiCase(song.title + song.singer, text)) return &song;
  return nullptr;
}

const IndexSinger* Catalogue::findSinger(std::string_view name) const {
  for (const IndexSinger& singer : index_.singers)
    if (sameIgnoringAsciiCase(singer.name, trimmedBlanks(name))) return &singer;
  return nullptr;
}

int Catalogue::singerNumber(std::string_view name) const {
  for (std::size_t i = 0; i < index_.singers.size(); ++i)
    if (index_.singers[i].name == name) return static_cast<int>(i) + 1;
  return 0;
}

std::shared_ptr<const std::string> Catalogue::media(std::string_view file) const {
  auto found = media_.find(file);
  return found == media_.end() ? nullptr : found->second;
}

std::shared_ptr<const std::string> Catalogue::picture(std::string_view file) const {
  auto found = pictures_.find(file);
  return found == pictures_.end() ? nullptr : found->second;
}

}  // namespace songservice
