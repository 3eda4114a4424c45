#pragma once
// The song a run ends with, kept so the next start can pick up where it left.

#include <string>

#include "app/PlayerView.h"

namespace app {

struct KeptSong {
  SongList list = SongList::None;  // where it came from: Results, Presets or Address
  int row = 0;                     // its preset row; 0 else
  std::string title;               // program texts
  std::string singer;
  std::string url;                 // only for a song played from an address: list links go stale
  double length = 0;               // seconds; 0 when unknown
  double position = 0;             // seconds heard

  bool operator==(const KeptSong&) const = default;
};

// The song label's text: title CR LF singer, or the title alone.
inline std::string SongLabel(const std::string& title, const std::string& singer) {
  return singer.empty() ? title : title + "\r\n" + singer;
}

}  // namespace app
