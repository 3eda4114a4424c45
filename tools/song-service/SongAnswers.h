#pragma once
// The texts the service answers with, in UTF-8 (the routes convert the JSONP ones to GBK).
// Song objects are flat, so "},{" only ever stands between two songs.

#include <string>
#include <string_view>
#include <vector>

#include "tools/song-service/Catalogue.h"

namespace songservice {

// A callback name the answer may be wrapped in: a script identifier, dots allowed, at most
// 64 characters, so it can neither inject script nor push a no-hit answer past 200 bytes.
bool isCallbackName(std::string_view name);

// JSON string contents: quotes, backslashes and control characters escaped.
std::string jsonEscaped(std::string_view text);

// NAME(json), or the bare json when the name is empty.
std::string wrapped(std::string_view callback, const std::string& json);

// host is "name:port" as the client addressed us.
std::string searchAnswer(const Catalogue& catalogue, const std::vector<const IndexSong*>& hits);
std::string linksAnswer(const Catalogue& catalogue, const IndexSong& song, std::string_view host);
std::string linksAnswerWithoutUrl(const IndexSong& song);
std::string pictureAnswer(const IndexSinger& singer, std::string_view host);
std::string noPictureAnswer();
// The singer is known, but no song of theirs has a picture.
std::string singerWithoutPictureAnswer();

}  // namespace songservice
