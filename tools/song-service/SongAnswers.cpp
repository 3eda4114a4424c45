#include "tools/song-service/SongAnswers.h"

#include <cmath>
#include <cstdio>

namespace songservice {
namespace {

std::string member(const char* name, std::string_view value) {
  return std::string("\"") + name + "\":\"" + jsonEscaped(value) + "\"";
}

std::string lengthText(const IndexSong& song) {
  int seconds = static_cast<int>(std::lround(song.seconds()));
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", seconds / 60, seconds % 60);
  return text;
}

std::size_t mediaSize(const Catalogue& catalogue, const IndexSong& song) {
  auto bytes = catalogue.media(song.file);
  return bytes ? bytes->size() : 0;
}

std::string averageKbps(const Catalogue& catalogue, const IndexSong& song) {
  double seconds = song.seconds();
  if (seconds <= 0) return "0";
  return std::to_string(std::lround(mediaSize(catalogue, song) * 8 / seconds / 1000));
}

bool isAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

std::string songObject(const Catalogue& catalogue, const IndexSong& song, int track) {
  return "{" + member("songid", std::to_string(song.id)) + "," + member("title", song.title) + "," +
         member("singer", song.singer) + "," +
         member("singerid", std::to_string(catalogue.singerNumber(song.singer))) + "," +
         member("album", song.album) + "," + member("track", std::to_string(track)) + "," +
         member("length", lengthText(song)) + "," + member("bitrate", averageKbps(catalogue, song)) +
         "," + member("format", "mp3") + "," +
         member("size", std::to_string(mediaSize(catalogue, song))) + "," +
         member("language", isAscii(song.title) ? "English" : "国语") + "," +
         member("year", "2026") + "}";
}

}  // namespace

bool isCallbackName(std::string_view name) {
  if (name.empty() || name.size() > 64) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
    bool digitOrDot = (c >= '0' && c <= '9') || c == '.';
    if (!letter && (i == 0 || !digitOrDot)) return false;
  }
  return true;
}

std::string jsonEscaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      out += escape;
    } else {
      out += c;
    }
  }
  return out;
}

std::string wrapped(std::string_view callback, const std::string& json) {
  if (callback.empty()) return json;
  std::string out;
  out.reserve(callback.size() + json.size() + 2);
  out += callback;
  out += '(';
  out += json;
  out += ')';
  return out;
}

std::string searchAnswer(const Catalogue& catalogue, const std::vector<const IndexSong*>& hits) {
  std::string songs;
  int track = 0;
  for (const IndexSong* song : hits) {
    if (!songs.empty()) songs += ",";
    songs += songObject(catalogue, *song, ++track);
  }
  return "{\"status\":" + std::string(hits.empty() ? "0" : "1") +
         ",\"total\":" + std::to_string(hits.size()) + ",\"data\":{\"song\":[" + songs + "]}}";
}

std::string linksAnswer(const Catalogue& catalogue, const IndexSong& song, std::string_view host) {
  // The link goes first and with plain slashes: the client takes it unchanged.
  return "{" + member("url", "http://" + std::string(host) + "/media/" + song.file) + "," +
         member("songid", std::to_string(song.id)) + "," + member("title", song.title) + "," +
         member("singer", song.singer) + "," + member("format", "mp3") + "," +
         member("bitrate", averageKbps(catalogue, song)) + "," +
         member("size", std::to_string(mediaSize(catalogue, song))) + "," +
         member("length", lengthText(song)) + "}";
}

std::string linksAnswerWithoutUrl(const IndexSong& song) {
  return "{" + member("songid", std::to_string(song.id)) + "," + member("title", song.title) + "," +
         member("singer", song.singer) + ",\"status\":0," + member("error", "no link for this song") +
         "}";
}

std::string pictureAnswer(const IndexSinger& singer, std::string_view host) {
  // The picture address is the first member whose name ends in "url", with escaped
  // slashes as a JSON writer gives them.
  std::string address = "http://" + std::string(host) + "/pictures/" + singer.picture;
  std::string escaped;
  for (char c : address) escaped += c == '/' ? std::string("\\/") : std::string(1, c);
  return "{\"url\":\"" + escaped + "\",\"status\":1,\"size\":120," +
         member("singer", singer.name) + "}";
}

std::string noPictureAnswer() { return "{\"status\":0,\"error\":\"no such singer\"}"; }

std::string singerWithoutPictureAnswer() { return "{\"status\":0,\"error\":\"no picture for this singer\"}"; }

}  // namespace songservice
