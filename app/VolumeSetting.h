#pragma once

#include <string>

namespace app {

// "\program parameter.ini" beside the program file.
std::string VolumeSettingPath();

// The stored volume, 50 when the file, section or key is missing; text that is not a
// number reads as 0. The value is not clamped here: the volume slider clamps it.
int ReadVolumeSetting();
int ReadVolumeSetting(const std::string& iniPath);

// Stores the volume as decimal text, creating the file and section when missing. A
// failed write (read-only folder) is ignored by callers; it reports false.
bool WriteVolumeSetting(int volume);
bool WriteVolumeSetting(const std::string& iniPath, int volume);

}  // namespace app
