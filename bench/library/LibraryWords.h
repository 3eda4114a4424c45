#pragma once
// The titles, singers and albums of the generated benchmark library, shared by the folder
// maker and the in-memory search benchmark so both search the same texts.

#include <string>

namespace benchlibrary {

inline constexpr const char* kWords[] = {"Morning", "River", "Light", "Summer", "Harbour", "Glass", "Winter",
                                         "Paper",   "Quiet", "Engine", "月光",   "远山",    "星河",  "晚风",
                                         "青石",    "海边",  "桜",     "夜空",   "Tide",    "Maple"};
inline constexpr int kWordCount = sizeof kWords / sizeof kWords[0];
inline constexpr int kSongsPerAlbum = 12, kAlbumsPerSinger = 4;

inline std::string words(unsigned seed, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    seed = seed * 1103515245u + 12345u;
    if (!text.empty()) text += ' ';
    text += kWords[(seed >> 16) % kWordCount];
  }
  return text;
}

struct SongTexts {
  std::string singer, singerFolder, album, albumFolder, title;
};

inline SongTexts songTexts(long i) {
  const long album = i / kSongsPerAlbum, singer = album / kAlbumsPerSinger;
  SongTexts texts;
  texts.singer = texts.singerFolder = words(static_cast<unsigned>(singer) * 7919u, 2) + " " + std::to_string(singer);
  texts.album = words(static_cast<unsigned>(album) * 104729u, 2);
  texts.albumFolder = texts.album + " " + std::to_string(album);
  texts.title = words(static_cast<unsigned>(i) * 2654435761u, 3);
  return texts;
}

}  // namespace benchlibrary
