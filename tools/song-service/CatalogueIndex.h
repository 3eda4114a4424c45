#pragma once
// The catalogue's index file: what the generator wrote and the service serves. UTF-8 text,
// one record a line, fields separated by TAB; lines starting with '#' are comments.
//
//   singer <TAB> name <TAB> picture file
//   song <TAB> id <TAB> media file <TAB> title <TAB> singer <TAB> album <TAB> sample rate
//        <TAB> channels <TAB> samples per channel <TAB> encoding

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace songservice {

inline constexpr char kIndexFileName[] = "index.txt";
inline constexpr char kPresetFileName[] = "js_rilu.txt";

struct IndexSinger {
  std::string name;
  std::string picture;
};

struct IndexSong {
  int id = 0;
  std::string file;
  std::string title;
  std::string singer;
  std::string album;
  int sampleRate = 0;
  int channels = 0;
  long long samples = 0;
  std::string encoding;

  double seconds() const { return sampleRate > 0 ? double(samples) / sampleRate : 0.0; }
};

struct CatalogueIndex {
  std::vector<IndexSinger> singers;
  std::vector<IndexSong> songs;
};

std::string formatIndex(const CatalogueIndex& index);

// Empty when a line is malformed; *error then names the line and what is wrong with it.
std::optional<CatalogueIndex> parseIndex(std::string_view text, std::string* error);

// A file name the index may hold: letters, digits, '-', '_' and '.', not starting with a
// dot, so nothing read through it can leave the catalogue folder.
bool isPlainFileName(std::string_view name);

}  // namespace songservice
