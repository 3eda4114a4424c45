#include "app/MprisProperties.h"

#include <cstdint>

#include "platform/text/CodePage.h"

namespace app::mpris {
namespace {

constexpr char kNoTrack[] = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
constexpr char kTrackPrefix[] = "/org/tunora/track/";

constexpr const char* kUriSchemes[] = {"http", "https", nullptr};
constexpr const char* kMimeTypes[] = {"audio/mpeg", "audio/ogg", "audio/x-vorbis+ogg", "audio/opus",
                                      "audio/flac", "audio/x-flac", "audio/wav", "audio/x-wav", nullptr};

std::int64_t microseconds(double seconds) { return static_cast<std::int64_t>(seconds * 1e6); }

// The song kept from the last run shows, stopped, with its metadata.
bool hasSong(const PlayerStatus& status) {
  return (status.state != PlayState::Stopped && status.song != 0) || status.kept;
}

// The picture's address comes from a service answer and may hold any bytes; a URI on the
// bus is ASCII, and the bytes are kept as the request would send them.
std::string asUri(const std::string& address) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri;
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F) {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 0xF];
    }
  }
  return uri;
}

}  // namespace

const char* introspectionXml() {
  return R"(<node>
  <interface name="org.mpris.MediaPlayer2">
    <method name="Raise"/>
    <method name="Quit"/>
    <property name="CanQuit" type="b" access="read"/>
    <property name="CanRaise" type="b" access="read"/>
    <property name="HasTrackList" type="b" access="read"/>
    <property name="Identity" type="s" access="read"/>
    <property name="DesktopEntry" type="s" access="read"/>
    <property name="SupportedUriSchemes" type="as" access="read"/>
    <property name="SupportedMimeTypes" type="as" access="read"/>
  </interface>
  <interface name="org.mpris.MediaPlayer2.Player">
    <method name="Next"/>
    <method name="Previous"/>
    <method name="Pause"/>
    <method name="PlayPause"/>
    <method name="Stop"/>
    <method name="Play"/>
    <method name="Seek"><arg direction="in" name="Offset" type="x"/></method>
    <method name="SetPosition">
      <arg direction="in" name="TrackId" type="o"/>
      <arg direction="in" name="Position" type="x"/>
    </method>
    <method name="OpenUri"><arg direction="in" name="Uri" type="s"/></method>
    <signal name="Seeked"><arg name="Position" type="x"/></signal>
    <property name="PlaybackStatus" type="s" access="read"/>
    <property name="Rate" type="d" access="readwrite"/>
    <property name="Metadata" type="a{sv}" access="read"/>
    <property name="Volume" type="d" access="readwrite"/>
    <property name="Position" type="x" access="read"/>
    <property name="MinimumRate" type="d" access="read"/>
    <property name="MaximumRate" type="d" access="read"/>
    <property name="CanGoNext" type="b" access="read"/>
    <property name="CanGoPrevious" type="b" access="read"/>
    <property name="CanPlay" type="b" access="read"/>
    <property name="CanPause" type="b" access="read"/>
    <property name="CanSeek" type="b" access="read"/>
    <property name="CanControl" type="b" access="read"/>
  </interface>
</node>)";
}

const char* playbackStatus(const PlayerStatus& status) {
  switch (status.state) {
    case PlayState::Playing:
      return "Playing";
    case PlayState::Paused:
      return "Paused";
    case PlayState::Stopped:
      break;
  }
  return "Stopped";
}

std::string trackId(const PlayerStatus& status) {
  return hasSong(status) ? kTrackPrefix + std::to_string(status.song) : std::string(kNoTrack);
}

GVariant* metadata(const PlayerStatus& status) {
  GVariantBuilder builder;
  g_variant_builder_init(&builder, G_VARIANT_TYPE("a{sv}"));
  g_variant_builder_add(&builder, "{sv}", "mpris:trackid", g_variant_new_object_path(trackId(status).c_str()));
  if (hasSong(status)) {
    const std::string title = platform::text::ansiToUtf8(status.title);
    g_variant_builder_add(&builder, "{sv}", "xesam:title", g_variant_new_string(title.c_str()));
    if (!status.singer.empty()) {
      const std::string singer = platform::text::ansiToUtf8(status.singer);
      const char* artists[] = {singer.c_str(), nullptr};
      g_variant_builder_add(&builder, "{sv}", "xesam:artist", g_variant_new_strv(artists, -1));
    }
    if (status.length > 0) {
      g_variant_builder_add(&builder, "{sv}", "mpris:length", g_variant_new_int64(microseconds(status.length)));
    }
    if (!status.pictureAddress.empty()) {
      const std::string uri = asUri(status.pictureAddress);
      g_variant_builder_add(&builder, "{sv}", "mpris:artUrl", g_variant_new_string(uri.c_str()));
    }
  }
  return g_variant_builder_end(&builder);
}

GVariant* rootProperty(const std::string& name) {
  if (name == "CanQuit" || name == "CanRaise") return g_variant_new_boolean(TRUE);
  if (name == "HasTrackList") return g_variant_new_boolean(FALSE);
  if (name == "Identity") return g_variant_new_string("Tunora");
  if (name == "DesktopEntry") return g_variant_new_string("tunora");
  if (name == "SupportedUriSchemes") return g_variant_new_strv(kUriSchemes, -1);
  if (name == "SupportedMimeTypes") return g_variant_new_strv(kMimeTypes, -1);
  return nullptr;
}

GVariant* playerProperty(const std::string& name, const PlayerStatus& status) {
  const bool loaded = status.state != PlayState::Stopped;
  if (name == "PlaybackStatus") return g_variant_new_string(playbackStatus(status));
  if (name == "Rate" || name == "MinimumRate" || name == "MaximumRate") return g_variant_new_double(1.0);
  if (name == "Metadata") return metadata(status);
  if (name == "Volume") return g_variant_new_double(status.volume / 100.0);
  if (name == "Position") return g_variant_new_int64(loaded ? microseconds(status.position) : 0);
  if (name == "CanGoNext") return g_variant_new_boolean(status.canGoNext);
  if (name == "CanGoPrevious") return g_variant_new_boolean(status.canGoPrevious);
  if (name == "CanPlay") return g_variant_new_boolean(status.canPlay);
  if (name == "CanPause") return g_variant_new_boolean(loaded);
  if (name == "CanSeek") return g_variant_new_boolean(loaded && status.length > 0);
  if (name == "CanControl") return g_variant_new_boolean(TRUE);
  return nullptr;
}

}  // namespace app::mpris
