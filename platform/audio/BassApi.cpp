// The C entry points: argument checks, error codes, and a forward to the engine.

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "platform/audio/Bass.h"
#include "platform/audio/Engine.h"
#include "platform/audio/ErrorState.h"
#include "platform/audio/FileSource.h"
#include "platform/audio/HttpSource.h"
#include "platform/audio/MemorySource.h"
#include "platform/audio/ReplayGain.h"

using platform::audio::Engine;
using platform::audio::setError;

namespace {

constexpr QWORD kQwordError = std::numeric_limits<QWORD>::max();
constexpr std::chrono::seconds kUrlWaitBudget{5};

BOOL result(bool ok, int error) {
  setError(ok ? BASS_OK : error);
  return ok ? TRUE : FALSE;
}

std::shared_ptr<platform::audio::Channel> channelFor(DWORD handle) {
  int error = BASS_OK;
  auto channel = Engine::instance().find(handle, error);
  if (!channel) setError(error);
  return channel;
}

HSTREAM addOpened(std::unique_ptr<platform::audio::ByteSource> source,
                  platform::audio::NetworkSource* network) {
  platform::audio::OpenedDecoder opened = platform::audio::openDecoder(*source);
  if (!opened.decoder) {
    setError(opened.error);
    return 0;
  }
  int error = BASS_OK;
  HSTREAM handle = Engine::instance().addStream(std::move(source), network, std::move(opened), error);
  setError(handle != 0 ? BASS_OK : error);
  return handle;
}

bool hasHttpScheme(const char* url) {
  return strncasecmp(url, "http://", 7) == 0 || strncasecmp(url, "https://", 8) == 0;
}

}  // namespace

extern "C" {

BOOL BASS_Init(int device, DWORD freq, DWORD, void*, const void*) {
  int error = BASS_OK;
  bool ok = Engine::instance().init(device, freq, error);
  return result(ok, error);
}

BOOL BASS_Free(void) {
  int error = BASS_OK;
  bool ok = Engine::instance().free(error);
  return result(ok, error);
}

int BASS_ErrorGetCode(void) { return platform::audio::lastError(); }

BOOL BASS_SetConfig(DWORD option, DWORD value) {
  if (option != BASS_CONFIG_REPLAYGAIN) return result(false, BASS_ERROR_ILLTYPE);
  platform::audio::setReplayGainEnabled(value != 0);
  return result(true, BASS_OK);
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD) {
  platform::audio::PcmFormat device;
  int error = BASS_OK;
  if (!Engine::instance().deviceFormat(device, error)) {
    setError(error);
    return 0;
  }
  if (file == nullptr) {
    setError(mem ? BASS_ERROR_ILLPARAM : BASS_ERROR_FILEOPEN);
    return 0;
  }
  if (mem) {
    if (length == 0 || offset >= length) {
      setError(length == 0 ? BASS_ERROR_ILLPARAM : BASS_ERROR_FILEFORM);
      return 0;
    }
    auto* bytes = static_cast<const std::uint8_t*>(file);
    return addOpened(std::make_unique<platform::audio::MemorySource>(bytes + offset, length - offset),
                     nullptr);
  }
  // A native path, passed on unchanged: converting it would lose names.
  std::string path(static_cast<const char*>(file));
  auto openResult = platform::audio::FileSource::OpenResult::Ok;
  auto source = platform::audio::FileSource::open(path, offset, length, openResult);
  if (!source) {
    setError(openResult == platform::audio::FileSource::OpenResult::CannotOpen
                 ? BASS_ERROR_FILEOPEN
                 : BASS_ERROR_FILEFORM);
    return 0;
  }
  return addOpened(std::move(source), nullptr);
}

HSTREAM BASS_StreamCreateURL(const char* url, DWORD offset, DWORD, DOWNLOADPROC proc, void* user) {
  platform::audio::PcmFormat device;
  int error = BASS_OK;
  if (!Engine::instance().deviceFormat(device, error)) {
    setError(error);
    return 0;
  }
  if (url == nullptr || !hasHttpScheme(url)) {
    setError(BASS_ERROR_ILLPARAM);
    return 0;
  }
  // Connection, headers, format detection and the pre-buffer share one budget.
  auto deadline = platform::audio::HttpSource::Clock::now() + kUrlWaitBudget;
  auto source = platform::audio::HttpSource::open(url, offset, proc, user, deadline, error);
  if (!source) {
    setError(error);
    return 0;
  }
  // Format detection may read well into the file (a large tag).
  source->limitReadsUntil(deadline);
  platform::audio::NetworkSource* network = source.get();
  platform::audio::OpenedDecoder opened = platform::audio::openDecoder(*source);
  source->endReadLimit();
  if (!opened.decoder) {
    setError(source->timedOut() ? BASS_ERROR_TIMEOUT : opened.error);
    return 0;
  }
  // Callers check for "playing" right after starting a new stream, so the pre-buffer is
  // filled here; a stream still short of it when the budget runs out starts stalled and
  // resumes by itself.
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - platform::audio::HttpSource::Clock::now());
  if (left.count() > 0) {
    source->waitAhead(platform::audio::Channel::prebufferFor(opened.decoder->encodedBytesPerSecond()),
                      left);
  }
  HSTREAM handle = Engine::instance().addStream(std::move(source), network, std::move(opened), error);
  setError(handle != 0 ? BASS_OK : error);
  return handle;
}

BOOL BASS_StreamFree(HSTREAM handle) {
  int error = BASS_OK;
  bool ok = Engine::instance().freeStream(handle, error);
  return result(ok, error);
}

QWORD BASS_StreamGetFilePosition(HSTREAM handle, DWORD mode) {
  auto channel = channelFor(handle);
  if (!channel) return kQwordError;
  QWORD value = 0;
  int error = BASS_OK;
  if (!channel->filePosition(mode, value, error)) {
    setError(error);
    return kQwordError;
  }
  setError(BASS_OK);
  return value;
}

BOOL BASS_ChannelSetFollower(DWORD handle, DWORD follower) {
  int error = BASS_OK;
  bool ok = Engine::instance().chain(handle, follower, error);
  return result(ok, error);
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
  auto channel = channelFor(handle);
  if (!channel) return FALSE;
  Engine::instance().unchainFollower(*channel);
  int error = BASS_OK;
  bool ok = channel->play(restart != FALSE, error);
  if (ok) Engine::instance().channelStarted();
  return result(ok, error);
}

BOOL BASS_ChannelPause(DWORD handle) {
  auto channel = channelFor(handle);
  if (!channel) return FALSE;
  int error = BASS_OK;
  bool ok = channel->pause(error);
  return result(ok, error);
}

BOOL BASS_ChannelStop(DWORD handle) {
  auto channel = channelFor(handle);
  if (!channel) return FALSE;
  channel->stop();
  return result(true, BASS_OK);
}

DWORD BASS_ChannelIsActive(DWORD handle) {
  auto channel = channelFor(handle);
  if (!channel) return BASS_ACTIVE_STOPPED;
  setError(BASS_OK);
  return channel->activity();
}

QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode) {
  auto channel = channelFor(handle);
  if (!channel) return kQwordError;
  if (mode != BASS_POS_BYTE) {
    setError(BASS_ERROR_NOTAVAIL);
    return kQwordError;
  }
  setError(BASS_OK);
  return channel->position();
}

BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode) {
  auto channel = channelFor(handle);
  if (!channel) return FALSE;
  if (mode != BASS_POS_BYTE) return result(false, BASS_ERROR_NOTAVAIL);
  Engine::instance().unchainFirst(*channel);
  int error = BASS_OK;
  bool ok = channel->setPosition(pos, error);
  return result(ok, error);
}

QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode) {
  auto channel = channelFor(handle);
  if (!channel) return kQwordError;
  auto length = mode == BASS_POS_BYTE ? channel->lengthBytes() : std::nullopt;
  if (!length) {
    setError(BASS_ERROR_NOTAVAIL);
    return kQwordError;
  }
  setError(BASS_OK);
  return *length;
}

double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
  auto channel = channelFor(handle);
  if (!channel) return -1.0;
  setError(BASS_OK);
  auto format = channel->format();
  return static_cast<double>(pos) / (static_cast<double>(format.rate) * format.frameBytes());
}

QWORD BASS_ChannelSeconds2Bytes(DWORD handle, double pos) {
  auto channel = channelFor(handle);
  if (!channel) return kQwordError;
  if (!(pos >= 0) || !std::isfinite(pos)) {
    setError(BASS_ERROR_ILLPARAM);
    return kQwordError;
  }
  setError(BASS_OK);
  auto format = channel->format();
  auto frames = static_cast<QWORD>(std::floor(pos * format.rate));
  return frames * static_cast<QWORD>(format.frameBytes());
}

BOOL BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value) {
  auto channel = channelFor(handle);
  if (!channel) return FALSE;
  if (attrib != BASS_ATTRIB_VOL) return result(false, BASS_ERROR_ILLTYPE);
  if (value == nullptr) return result(false, BASS_ERROR_ILLPARAM);
  *value = channel->volume();
  return result(true, BASS_OK);
}

BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value) {
  auto channel = channelFor(handle);
  if (!channel) return FALSE;
  if (attrib != BASS_ATTRIB_VOL) return result(false, BASS_ERROR_ILLTYPE);
  if (!std::isfinite(value)) return result(false, BASS_ERROR_ILLPARAM);
  channel->setVolume(value);
  return result(true, BASS_OK);
}

BOOL BASS_ChannelSlideAttribute(DWORD handle, DWORD attrib, float value, DWORD time) {
  auto channel = channelFor(handle);
  if (!channel) return FALSE;
  if (attrib != BASS_ATTRIB_VOL) return result(false, BASS_ERROR_ILLTYPE);
  if (!std::isfinite(value)) return result(false, BASS_ERROR_ILLPARAM);
  channel->slideVolume(value, time);
  return result(true, BASS_OK);
}

}  // extern "C"
