#pragma once
// Writes PCM as a WAV file and encodes it to MP3 with the lame command.

#include <cstdint>
#include <string>
#include <vector>

namespace songservice {

bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples, int sampleRate,
              int channels);

// Runs lame with the given blank-separated arguments on wavPath, writing mp3Path. On
// failure *error says why.
bool encodeWithLame(const std::string& wavPath, const std::string& mp3Path,
                    const std::string& arguments, std::string* error);

}  // namespace songservice
