#pragma once
// What the program's Player asks of the world: the song service for links and singer
// pictures, the preset file and the settings file.

#include <string>

#include "app/ProgramSettings.h"
#include "app/Player.h"
#include "audio/AudioEngine.h"
#include "platform/system/ProgramFiles.h"

namespace app {

// files tell where the preset file is; engine asks for the singer pictures and must outlive the
// Player; settings keeps the volume and must outlive the Player's last volume change (a
// closed Player makes none).
Player::Services ProgramPlayerServices(audio::AudioEngine& engine, const platform::system::ProgramFiles& files,
                                       SettingsKeeper& settings);

}  // namespace app
