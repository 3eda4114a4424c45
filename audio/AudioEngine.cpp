#include "audio/AudioEngine.h"

#include <filesystem>
#include <system_error>

#include "net/HttpRequest.h"
#include "net/QueryEncoding.h"
#include "net/ScriptHttp.h"
#include "net/TextBetween.h"
#include "resources/ResourcePackage.h"

namespace audio {
namespace {

constexpr int kDefaultDevice = -1;
constexpr int kDefaultFrequency = 44100;
constexpr char kPicturePath[] = "/new/app/i/yueku.php?singer=";
constexpr char kPictureQueryTail[] = "&cmd=104&type=softhead&size=120";

bool namesExistingFile(const std::string& fileName) {
  if (fileName.empty()) return false;
  std::error_code error;
  std::filesystem::path path(fileName);  // a native path, as the engine takes it
  return std::filesystem::exists(path, error) && !std::filesystem::is_directory(path, error);
}

}  // namespace

BOOL AudioEngine::Init(std::optional<int> device, std::optional<int> frequency,
                       std::optional<int> flags, std::optional<int> window) {
  // The window travels as a 32-bit value; no output here needs one.
  (void)window;
  return BASS_Init(device.value_or(kDefaultDevice),
                   static_cast<DWORD>(frequency.value_or(kDefaultFrequency)),
                   static_cast<DWORD>(flags.value_or(0)), nullptr, nullptr);
}

BOOL AudioEngine::Free() { return BASS_Free(); }

HSTREAM AudioEngine::CreateStream(const std::optional<std::string>& fileName,
                                  std::optional<std::span<const std::uint8_t>> memory,
                                  const std::optional<std::string>& url,
                                  std::optional<int> offset) {
  const std::string file = fileName.value_or(std::string());
  const std::string link = url.value_or(std::string());
  const bool hasMemory = memory.has_value() && !memory->empty();
  if (file.empty() && !hasMemory && link.empty()) return 0;
  const int start = offset.value_or(0);
  if (namesExistingFile(file)) {
    return BASS_StreamCreateFile(FALSE, file.c_str(), static_cast<QWORD>(static_cast<std::int64_t>(start)),
                                 0, 0);
  }
  if (hasMemory) {
    return BASS_StreamCreateFile(TRUE, memory->data(),
                                 static_cast<QWORD>(static_cast<std::int64_t>(start)),
                                 static_cast<QWORD>(memory->size()), 0);
  }
  if (!link.empty()) {
    return BASS_StreamCreateURL(link.c_str(), static_cast<DWORD>(start), 0, nullptr, nullptr);
  }
  return 0;
}

BOOL AudioEngine::Play(HSTREAM handle, std::optional<bool> restart) {
  if (handle == 0) return 0;
  return BASS_ChannelPlay(handle, restart.value_or(true) ? TRUE : FALSE);
}

BOOL AudioEngine::Pause(HSTREAM handle) { return BASS_ChannelPause(handle); }

BOOL AudioEngine::Stop(HSTREAM handle) { return BASS_ChannelStop(handle); }

QWORD AudioEngine::GetPosition(HSTREAM handle) { return BASS_ChannelGetPosition(handle, BASS_POS_BYTE); }

BOOL AudioEngine::SetPosition(HSTREAM handle, QWORD position) {
  return BASS_ChannelSetPosition(handle, position, BASS_POS_BYTE);
}

QWORD AudioEngine::GetLength(HSTREAM handle) { return BASS_ChannelGetLength(handle, BASS_POS_BYTE); }

DWORD AudioEngine::IsActive(HSTREAM handle) { return BASS_ChannelIsActive(handle); }

BOOL AudioEngine::FreeStream(HSTREAM handle) { return BASS_StreamFree(handle); }

BOOL AudioEngine::GetVolume(HSTREAM handle, float& volume) {
  return BASS_ChannelGetAttribute(handle, BASS_ATTRIB_VOL, &volume);
}

double AudioEngine::BytesToSeconds(HSTREAM handle, QWORD bytes) {
  return BASS_ChannelBytes2Seconds(handle, bytes);
}

QWORD AudioEngine::SecondsToBytes(HSTREAM handle, double seconds) {
  return BASS_ChannelSeconds2Bytes(handle, seconds);
}

bool AudioEngine::UnpackResourcePackage(const std::string& path,
                                        std::vector<platform::system::ByteBlock>& entries,
                                        std::string& message) {
  return resources::UnpackResourcePackage(path, entries, message);
}

std::string AudioEngine::FormatTime(int seconds) {
  int minutes = seconds / 60;
  int rest = seconds % 60;
  std::string text;
  if (minutes < 10) text += '0';
  text += std::to_string(minutes);
  text += ':';
  if (rest < 10) text += '0';
  text += std::to_string(rest);
  return text;
}

platform::system::ByteBlock AudioEngine::LookupSingerPicture(std::string& singerAnsi) {
  const std::string address = SingerPictureAddress(singerAnsi);
  if (address.empty()) return {};
  return net::ScriptHttp(address);
}

std::string AudioEngine::SingerPictureAddress(const std::string& singerAnsi) {
  if (pictureServiceHost_.empty()) return {};
  const std::string lookupUrl =
      "http://" + pictureServiceHost_ + kPicturePath + net::EncodeQueryText(singerAnsi) + kPictureQueryTail;
  const std::string reply = net::HttpRequest(lookupUrl);
  std::string address = net::TextBetween(reply, "url\":\"", "\"");
  // The reply is JSON, which may escape the solidus.
  for (size_t at = address.find("\\/"); at != std::string::npos; at = address.find("\\/", at + 1))
    address.replace(at, 2, "/");
  return address;
}

}  // namespace audio
