#pragma once
// What the program's Player asks of the world: the song service for links and singer
// pictures, the preset file and the settings file.

#include <string>

#include "app/Player.h"
#include "audio/AudioEngine.h"

namespace app {

// folder holds the preset file; engine asks for the singer pictures and must outlive the
// Player.
Player::Services ProgramPlayerServices(audio::AudioEngine& engine, const std::string& folder);

}  // namespace app
