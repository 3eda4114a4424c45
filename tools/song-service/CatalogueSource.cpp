#include "tools/song-service/CatalogueSource.h"

#include "platform/text/CodePage.h"
#include "tools/song-service/SongAnswers.h"

namespace songservice {

std::string CatalogueSource::searchAnswer(std::string_view keyword, const std::string&) {
  return platform::text::utf8ToAnsi(songservice::searchAnswer(catalogue_, catalogue_.search(keyword)));
}

std::optional<std::string> CatalogueSource::linksAnswer(std::string_view key, const std::string&,
                                                        std::string_view host, bool withoutUrl) {
  const IndexSong* song = catalogue_.findByTitleThenSinger(key);
  if (!song) return std::nullopt;
  return platform::text::utf8ToAnsi(withoutUrl ? linksAnswerWithoutUrl(*song)
                                               : songservice::linksAnswer(catalogue_, *song, host));
}

std::string CatalogueSource::pictureAnswer(std::string_view singer, std::string_view host) {
  const IndexSinger* found = catalogue_.findSinger(singer);
  return found ? songservice::pictureAnswer(*found, host) : noPictureAnswer();
}

std::optional<MediaBody> CatalogueSource::media(std::string_view name) {
  auto bytes = catalogue_.media(name);
  if (!bytes) return std::nullopt;
  MediaBody body;
  body.size = bytes->size();
  body.bytes = std::move(bytes);
  body.contentType = "audio/mpeg";
  return body;
}

std::optional<MediaBody> CatalogueSource::picture(std::string_view name) {
  auto bytes = catalogue_.picture(name);
  if (!bytes) return std::nullopt;
  MediaBody body;
  body.size = bytes->size();
  body.bytes = std::move(bytes);
  body.contentType = "image/png";
  return body;
}

}  // namespace songservice
