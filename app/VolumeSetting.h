#pragma once

#include <string>

namespace app {

class BackgroundWriter;

// "\program parameter.ini" in the folder the program writes to (beside it when portable).
std::string VolumeSettingPath();

// The stored volume, 50 when the file, section or key is missing; text that is not a
// number reads as 0. The value is not clamped here: the volume slider clamps it.
int ReadVolumeSetting();
int ReadVolumeSetting(const std::string& iniPath);

// "replay gain" in the same section: false only for a stored 0 (levelling is on by default).
bool ReadReplayGainSetting(const std::string& iniPath);
bool ReadReplayGainSetting();

// Stores the volume as decimal text, creating the file and section when missing. False
// when the write failed (read-only folder, a settings file that cannot be read); callers
// may ignore it.
bool WriteVolumeSetting(const std::string& iniPath, int volume);

// The same for the file beside the program, on writer's thread: returns at once, so a
// dragged slider never waits for the disk. Values that a newer one overtakes before they
// are written may be skipped; the last one lands at the latest when writer goes away, and
// writer.flush() waits for it.
void WriteVolumeSetting(BackgroundWriter& writer, int volume);

}  // namespace app
