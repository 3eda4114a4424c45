#include "tools/song-service/library/TagReader.h"

#include "tools/song-service/library/TagFileName.h"

#include <attachedpictureframe.h>
#include <flacfile.h>
#include <flacpicture.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <opusfile.h>
#include <tdebuglistener.h>
#include <tfilestream.h>
#include <vorbisfile.h>
#include <wavfile.h>
#include <xiphcomment.h>

#include <memory>
#include <mutex>

namespace songservice {
namespace {

// TagLib's complaints about damaged files would flood stderr; the scanner says one line.
class QuietListener : public TagLib::DebugListener {
 public:
  void printMessage(const TagLib::String&) override {}
};

void silenceTagLib() {
  static QuietListener listener;
  static std::once_flag once;
  std::call_once(once, [] { TagLib::setDebugListener(&listener); });
}

std::string text(const TagLib::String& value) {
  std::string out = value.to8Bit(true);
  const char* blanks = " \t\r\n";
  out.erase(0, out.find_first_not_of(blanks));
  std::size_t end = out.find_last_not_of(blanks);
  out.erase(end == std::string::npos ? 0 : end + 1);
  return out;
}

std::unique_ptr<TagLib::File> openAs(TagLib::IOStream& stream, MediaKind kind, bool properties) {
  const auto style = TagLib::AudioProperties::Average;
  switch (kind) {
    case MediaKind::Mp3:
      return std::make_unique<TagLib::MPEG::File>(&stream, TagLib::ID3v2::FrameFactory::instance(),
                                                  properties, style);
    case MediaKind::Flac:
      return std::make_unique<TagLib::FLAC::File>(&stream, TagLib::ID3v2::FrameFactory::instance(),
                                                  properties, style);
    case MediaKind::Vorbis: return std::make_unique<TagLib::Ogg::Vorbis::File>(&stream, properties, style);
    case MediaKind::Opus: return std::make_unique<TagLib::Ogg::Opus::File>(&stream, properties, style);
    case MediaKind::Wav: return std::make_unique<TagLib::RIFF::WAV::File>(&stream, properties, style);
    case MediaKind::None: break;
  }
  return nullptr;
}

std::string fromId3(TagLib::ID3v2::Tag* tag) {
  if (!tag) return {};
  const TagLib::ID3v2::FrameList& frames = tag->frameListMap()["APIC"];
  std::string first;
  for (TagLib::ID3v2::Frame* frame : frames) {
    auto* picture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame);
    if (!picture || picture->picture().isEmpty()) continue;
    std::string bytes(picture->picture().data(), picture->picture().size());
    if (picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover) return bytes;
    if (first.empty()) first = std::move(bytes);
  }
  return first;
}

std::string fromFlacPictures(const TagLib::List<TagLib::FLAC::Picture*>& pictures) {
  std::string first;
  for (TagLib::FLAC::Picture* picture : pictures) {
    if (!picture || picture->data().isEmpty()) continue;
    std::string bytes(picture->data().data(), picture->data().size());
    if (picture->type() == TagLib::FLAC::Picture::FrontCover) return bytes;
    if (first.empty()) first = std::move(bytes);
  }
  return first;
}

std::string coverOf(TagLib::File& file, MediaKind kind) {
  switch (kind) {
    case MediaKind::Mp3: return fromId3(static_cast<TagLib::MPEG::File&>(file).ID3v2Tag());
    case MediaKind::Wav: return fromId3(static_cast<TagLib::RIFF::WAV::File&>(file).ID3v2Tag());
    case MediaKind::Flac: return fromFlacPictures(static_cast<TagLib::FLAC::File&>(file).pictureList());
    case MediaKind::Vorbis: {
      auto* comment = static_cast<TagLib::Ogg::Vorbis::File&>(file).tag();
      return comment ? fromFlacPictures(comment->pictureList()) : std::string();
    }
    case MediaKind::Opus: {
      auto* comment = static_cast<TagLib::Ogg::Opus::File&>(file).tag();
      return comment ? fromFlacPictures(comment->pictureList()) : std::string();
    }
    case MediaKind::None: break;
  }
  return {};
}

}  // namespace

std::optional<SongTags> readSongTags(TagLib::IOStream& stream, MediaKind kind) {
  silenceTagLib();
  std::unique_ptr<TagLib::File> file = openAs(stream, kind, true);
  if (!file || !file->isValid()) return std::nullopt;
  const TagLib::AudioProperties* properties = file->audioProperties();
  if (!properties || properties->lengthInMilliseconds() <= 0) return std::nullopt;
  SongTags tags;
  tags.millis = properties->lengthInMilliseconds();
  tags.kbps = properties->bitrate();
  if (const TagLib::Tag* tag = file->tag()) {
    tags.title = text(tag->title());
    tags.artist = text(tag->artist());
    tags.album = text(tag->album());
    tags.track = static_cast<int>(std::min(tag->track(), 100000u));
    tags.year = static_cast<int>(std::min(tag->year(), 100000u));
  }
  tags.cover = !coverOf(*file, kind).empty();
  return tags;
}

std::optional<SongTags> readSongTags(const std::string& path, MediaKind kind) {
  TagLib::FileStream stream(tagFileName(path), true);
  if (!stream.isOpen()) return std::nullopt;
  return readSongTags(stream, kind);
}

std::string readEmbeddedCover(TagLib::IOStream& stream, MediaKind kind) {
  silenceTagLib();
  std::unique_ptr<TagLib::File> file = openAs(stream, kind, false);
  if (!file || !file->isValid()) return {};
  return coverOf(*file, kind);
}

std::string readEmbeddedCover(const std::string& path, MediaKind kind) {
  TagLib::FileStream stream(tagFileName(path), true);
  if (!stream.isOpen()) return {};
  return readEmbeddedCover(stream, kind);
}

}  // namespace songservice
