#include "app/VolumeSetting.h"

#include "app/BackgroundWriter.h"
#include "platform/system/ProfileFile.h"
#include "platform/system/ProgramFiles.h"
#include "platform/text/Numbers.h"

namespace app {
namespace {

constexpr char kSection[] = "parameter";
constexpr char kKey[] = "volume size";
constexpr char kDefault[] = "50";

}  // namespace

std::string VolumeSettingPath() {
  return platform::system::programFiles().userPath("\\program parameter.ini");
}

int ReadVolumeSetting(const std::string& iniPath) {
  return platform::text::textToInteger(
      platform::system::GetPrivateProfileString(kSection, kKey, kDefault, iniPath));
}

int ReadVolumeSetting() { return ReadVolumeSetting(VolumeSettingPath()); }

bool ReadReplayGainSetting(const std::string& iniPath) {
  return platform::text::textToInteger(
             platform::system::GetPrivateProfileString(kSection, "replay gain", "1", iniPath)) != 0;
}

bool ReadReplayGainSetting() { return ReadReplayGainSetting(VolumeSettingPath()); }

bool WriteVolumeSetting(const std::string& iniPath, int volume) {
  return platform::system::WritePrivateProfileString(kSection, kKey, std::to_string(volume),
                                                     iniPath);
}

void WriteVolumeSetting(BackgroundWriter& writer, int volume) {
  writer.submit([volume] { return WriteVolumeSetting(VolumeSettingPath(), volume); });
}

}  // namespace app
