#include "app/PlayerServices.h"

#include "app/PresetFile.h"
#include "app/ServiceAddress.h"
#include "net/HttpRequest.h"
#include "net/TextBetween.h"

namespace app {

Player::Services ProgramPlayerServices(audio::AudioEngine& engine, const platform::system::ProgramFiles& files,
                                       SettingsKeeper& settings) {
  Player::Services services;
  services.lookUpLink = [](const std::string& title, const std::string& singer) {
    return net::TextBetween(net::HttpRequest(LinksRequestUrl(title, singer)), "url\":\"", "\"");
  };
  services.presetLink = [files](int row, const std::string& title, const std::string& singer) {
    return PresetUrlOfSong(files, row, title, singer);
  };
  services.lookUpPicture = [&engine](const std::string& singer) { return engine.SingerPictureAddress(singer); };
  services.storeVolume = [&settings](int volume) { settings.keepVolume(volume); };
  return services;
}

}  // namespace app
