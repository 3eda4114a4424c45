#include "tools/song-service/library/LibrarySource.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/text/CodePage.h"
#include "tools/song-service/SongAnswers.h"
#include "tools/song-service/library/LibraryText.h"
#include "tools/song-service/library/TagReader.h"

namespace songservice {
namespace {

constexpr std::size_t kRememberedClients = 64;
constexpr std::size_t kRememberedKeys = 100000;

std::string member(const char* name, std::string_view value) {
  return std::string("\"") + name + "\":\"" + std::string(value) + "\"";
}

std::string lengthText(int millis) {
  int seconds = (millis + 500) / 1000;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", seconds / 60, seconds % 60);
  return text;
}

bool isAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

const std::string& mandarin() {
  static const std::string text = platform::text::utf8ToAnsi("国语");
  return text;
}

std::string mediaName(const IndexedSong& song) {
  return std::to_string(song.id) + "." + mediaExtension(song.kind);
}

// Appended member by member without temporaries: an answer holds up to a thousand of these.
void appendSongObject(std::string& out, const IndexedSong& song) {
  auto add = [&out](std::string_view name, std::string_view value, bool last = false) {
    out += '"';
    out += name;
    out += "\":\"";
    out += value;
    out += last ? "\"}" : "\",";
  };
  auto number = [](char (&text)[24], long long value) {
    auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string_view(text, static_cast<std::size_t>(end - text));
  };
  char text[24];
  out += '{';
  add("songid", number(text, song.id));
  add("title", song.title);
  add("singer", song.singer);
  add("singerid", number(text, song.singerNumber));
  add("album", song.album);
  add("track", number(text, song.track));
  const int seconds = (song.millis + 500) / 1000;
  if (seconds >= 0 && seconds < 6000) {
    const char length[5] = {static_cast<char>('0' + seconds / 600), static_cast<char>('0' + seconds / 60 % 10), ':',
                            static_cast<char>('0' + seconds % 60 / 10), static_cast<char>('0' + seconds % 10)};
    add("length", std::string_view(length, sizeof length));
  } else {
    add("length", lengthText(song.millis));
  }
  add("bitrate", number(text, song.kbps));
  add("format", mediaExtension(song.kind));
  add("size", number(text, song.size));
  add("language", isAscii(song.title) ? std::string_view("English") : std::string_view(mandarin()));
  add("year", song.year > 0 ? number(text, song.year) : std::string_view(), true);
}

// "123.mp3" -> 123 when the extension is the one given; 0 otherwise.
long long idFromName(std::string_view name, std::string_view extension) {
  std::size_t dot = name.find('.');
  if (dot == std::string_view::npos || name.substr(dot + 1) != extension) return 0;
  long long id = 0;
  auto [end, status] = std::from_chars(name.data(), name.data() + dot, id);
  return status == std::errc() && end == name.data() + dot && id > 0 ? id : 0;
}

std::string httpDate(long long mtimeNs) {
  using namespace std::chrono;
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const sys_seconds at{seconds{mtimeNs / 1'000'000'000LL}};
  const sys_days day = floor<days>(at);
  const year_month_day date{day};
  const hh_mm_ss time{at - day};
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02u %s %d %02d:%02d:%02d GMT", kDays[weekday{day}.c_encoding()],
                static_cast<unsigned>(date.day()), kMonths[static_cast<unsigned>(date.month()) - 1],
                static_cast<int>(date.year()), static_cast<int>(time.hours().count()),
                static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()));
  return text;
}

std::string pictureType(std::string_view bytes) {
  if (bytes.substr(0, 8) == "\x89PNG\r\n\x1a\n") return "image/png";
  if (bytes.substr(0, 3) == "\xFF\xD8\xFF") return "image/jpeg";
  if (bytes.substr(0, 4) == "GIF8") return "image/gif";
  if (bytes.substr(0, 2) == "BM") return "image/bmp";
  return {};
}

std::string readSmallFile(const std::string& path) {
  std::ifstream in(streamPath(path), std::ios::binary);
  if (!in) return {};
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::string text = bytes.str();
  return text.size() <= 16 * 1024 * 1024 ? text : std::string();
}

std::string trimmedBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

// The song whose picture stands for the singer: the first (by path) with an embedded cover,
// else the first whose folder holds a cover picture, or null. Songs of one folder stand
// together, so each folder is looked at once.
const IndexedSong* pictureSong(const std::vector<const IndexedSong*>& songs) {
  for (const IndexedSong* song : songs)
    if (song->cover) return song;
  std::string_view lastFolder;
  bool first = true;
  for (const IndexedSong* song : songs) {
    const std::string_view folder = song->path.substr(0, song->path.rfind('/') + 1);
    if (!first && folder == lastFolder) continue;
    first = false;
    lastFolder = folder;
    if (!folderPicturePath(std::string(song->path)).empty()) return song;
  }
  return nullptr;
}

}  // namespace

std::string folderPicturePath(const std::string& songPath) {
  std::size_t slash = songPath.rfind('/');
  if (slash == std::string::npos) return {};
  const std::string folder = songPath.substr(0, slash + 1);
  for (const char* name : {"cover.jpg", "folder.jpg", "Cover.jpg", "Folder.jpg", "cover.png", "folder.png",
                           "cover.jpeg", "COVER.JPG", "FOLDER.JPG"}) {
    std::string path = folder + name;
    if (isNonEmptyFile(path)) return path;
  }
  return {};
}

std::string LibrarySource::searchAnswer(std::string_view keyword, const std::string& client) {
  std::shared_ptr<const LibraryIndex> index = index_();
  std::shared_ptr<const SearchAnswer> answer = answers_.find(index, keyword);
  if (!answer) {
    answer = makeSearchAnswer(*index, keyword);
    answers_.add(index, keyword, answer);
  }
  if (!answer->sharedKeys.empty()) remember(client, answer->sharedKeys);
  return answer->json;
}

std::shared_ptr<const SearchAnswer> LibrarySource::makeSearchAnswer(const LibraryIndex& index,
                                                                     std::string_view keyword) {
  std::vector<std::uint32_t> hits = index.search(keyword);
  auto made = std::make_shared<SearchAnswer>();
  // Written into a buffer each thread keeps, then copied once at its size: the answers kept
  // then fill the holes that older ones leave instead of spreading over memory.
  thread_local std::string answer;
  answer.clear();
  answer += "{\"status\":";
  answer += hits.empty() ? "0" : "1";
  answer += ",\"total\":";
  answer += std::to_string(hits.size());
  answer += ",\"data\":{\"song\":[";
  answer.reserve(answer.size() + hits.size() * 256 + 8);
  // The hits are scattered over memory: each song and then its texts are fetched ahead, so
  // the waits for memory overlap instead of adding up.
  constexpr std::size_t kAhead = 8;
  const std::vector<IndexedSong>& songs = index.songs();
  for (std::size_t i = 0; i < hits.size(); ++i) {
    if (i + 2 * kAhead < hits.size()) {
      const char* ahead = reinterpret_cast<const char*>(&songs[hits[i + 2 * kAhead]]);
      for (std::size_t line = 0; line < sizeof(IndexedSong); line += 64) __builtin_prefetch(ahead + line);
    }
    if (i + kAhead < hits.size()) {
      const IndexedSong& ahead = songs[hits[i + kAhead]];
      __builtin_prefetch(ahead.title.data());
      __builtin_prefetch(ahead.singer.data());
      __builtin_prefetch(ahead.album.data());
    }
    const std::uint32_t position = hits[i];
    const IndexedSong& song = songs[position];
    if (i > 0) answer += ',';
    appendSongObject(answer, song);
    if (song.sharedKey) made->sharedKeys[linkKeyOf(song)] = song.id;
  }
  answer += "]}}";
  made->json.assign(answer);
  return made;
}

std::optional<std::string> LibrarySource::linksAnswer(std::string_view key, const std::string& client,
                                                      std::string_view host, bool withoutUrl) {
  std::shared_ptr<const LibraryIndex> index = index_();
  const std::string gbkKey = platform::text::utf8ToAnsi(validUtf8(key));
  const std::vector<std::uint32_t> sharing = index->withLinkKey(gbkKey);
  if (sharing.empty()) return std::nullopt;
  const IndexedSong* song = &index->songs()[sharing.front()];
  if (sharing.size() > 1) {
    const IndexedSong* last = index->byId(rememberedSong(client, asciiLowered(gbkKey)));
    if (last && linkKeyOf(*last) == asciiLowered(gbkKey)) song = last;
  }
  if (withoutUrl) {
    return "{" + member("songid", std::to_string(song->id)) + "," + member("title", song->title) + "," +
           member("singer", song->singer) + ",\"status\":0," + member("error", "no link for this song") + "}";
  }
  // The link goes first and with plain slashes: the client takes it unchanged.
  return "{" + member("url", "http://" + std::string(host) + "/media/" + mediaName(*song)) + "," +
         member("songid", std::to_string(song->id)) + "," + member("title", song->title) + "," +
         member("singer", song->singer) + "," + member("format", mediaExtension(song->kind)) + "," +
         member("bitrate", std::to_string(song->kbps)) + "," + member("size", std::to_string(song->size)) + "," +
         member("length", lengthText(song->millis)) + "}";
}

std::string LibrarySource::pictureAnswer(std::string_view singer, std::string_view host) {
  std::shared_ptr<const LibraryIndex> index = index_();
  const std::vector<const IndexedSong*> songs =
      index->songsOfSinger(platform::text::utf8ToAnsi(trimmedBlanks(validUtf8(singer))));
  if (songs.empty()) return noPictureAnswer();
  const IndexedSong* song = pictureSong(songs);
  if (!song) return singerWithoutPictureAnswer();
  std::string address = "http://" + std::string(host) + "/pictures/" + std::to_string(song->id) + ".jpg";
  std::string escaped;
  for (char c : address) escaped += c == '/' ? std::string("\\/") : std::string(1, c);
  return "{\"url\":\"" + escaped + "\",\"status\":1,\"size\":120,\"singer\":\"" +
         jsonEscaped(platform::text::ansiToUtf8(song->singer)) + "\"}";
}

std::optional<MediaBody> LibrarySource::media(std::string_view name) {
  std::shared_ptr<const LibraryIndex> index = index_();
  std::size_t dot = name.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  long long id = 0;
  auto [end, status] = std::from_chars(name.data(), name.data() + dot, id);
  if (status != std::errc() || end != name.data() + dot) return std::nullopt;
  const IndexedSong* song = index->byId(id);
  if (!song || idFromName(name, mediaExtension(song->kind)) != id) return std::nullopt;
  std::shared_ptr<OpenFile> file = OpenFile::open(std::string(song->path));
  if (!file || file->size() <= 0) return std::nullopt;
  const long long mtime = file->mtimeNs(), size = file->size();
  MediaBody body;
  body.file = std::move(file);
  body.size = static_cast<std::size_t>(size);
  body.contentType = mediaContentType(song->kind);
  char etag[80];
  std::snprintf(etag, sizeof etag, "\"%llx-%llx-%llx\"", static_cast<unsigned long long>(id),
                static_cast<unsigned long long>(size), static_cast<unsigned long long>(mtime));
  body.etag = etag;
  body.lastModified = httpDate(mtime);
  return body;
}

std::optional<MediaBody> LibrarySource::picture(std::string_view name) {
  std::shared_ptr<const LibraryIndex> index = index_();
  const IndexedSong* song = index->byId(idFromName(name, "jpg"));
  if (!song) return std::nullopt;
  const std::string path(song->path);
  std::string bytes = song->cover ? readEmbeddedCover(path, song->kind) : std::string();
  if (bytes.empty()) {
    std::string beside = folderPicturePath(path);
    if (!beside.empty()) bytes = readSmallFile(beside);
  }
  std::string type = pictureType(bytes);
  if (type.empty()) return std::nullopt;
  MediaBody body;
  body.size = bytes.size();
  body.bytes = std::make_shared<const std::string>(std::move(bytes));
  body.contentType = type;
  return body;
}

void LibrarySource::remember(const std::string& client, std::unordered_map<std::string, long long> answered) {
  std::lock_guard lock(mutex_);
  auto it = clients_.begin();
  while (it != clients_.end() && it->client != client) ++it;
  if (it == clients_.end()) {
    clients_.push_front({client, {}});
    if (clients_.size() > kRememberedClients) clients_.pop_back();
  } else {
    clients_.splice(clients_.begin(), clients_, it);
  }
  auto& keys = clients_.front().songByKey;
  if (keys.size() + answered.size() > kRememberedKeys) keys.clear();
  for (auto& [key, id] : answered) keys[key] = id;
}

long long LibrarySource::rememberedSong(const std::string& client, const std::string& key) {
  std::lock_guard lock(mutex_);
  for (const ClientMemory& memory : clients_) {
    if (memory.client != client) continue;
    auto found = memory.songByKey.find(key);
    return found == memory.songByKey.end() ? 0 : found->second;
  }
  return 0;
}

}  // namespace songservice
