#pragma once
// Everything the program keeps in its settings file, read at start and written whole: a
// write of one value never drops another still waiting to be written.

#include <mutex>
#include <optional>
#include <string>

#include "app/BackgroundWriter.h"
#include "app/KeptSong.h"

namespace app {

struct ProgramSettings {
  int volume = 50;                // not clamped here: the volume slider clamps it
  std::optional<KeptSong> song;
  std::string keyword;            // the last one searched for
  bool notify = true;             // desktop notifications when the song changes

  bool operator==(const ProgramSettings&) const = default;
};

// Missing keys (older files) read as the defaults; a song without a title, or from an
// address without its address, reads as none.
ProgramSettings ReadProgramSettings(const std::string& iniPath);
// Every key in one replacement of the file; false when it failed.
bool WriteProgramSettings(const std::string& iniPath, const ProgramSettings& settings);

// Holds the settings and hands every change to the writer as a snapshot of all of them.
// Any thread; returns at once.
class SettingsKeeper {
 public:
  // writer must outlive the last change.
  SettingsKeeper(BackgroundWriter& writer, std::string iniPath, ProgramSettings settings);
  SettingsKeeper(const SettingsKeeper&) = delete;
  SettingsKeeper& operator=(const SettingsKeeper&) = delete;

  ProgramSettings settings() const;
  void keepVolume(int volume);
  void keepSong(std::optional<KeptSong> song);
  void keepKeyword(const std::string& keyword);

 private:
  template <typename Change>
  void change(Change&& change);

  BackgroundWriter& writer_;
  const std::string path_;
  mutable std::mutex mutex_;
  ProgramSettings settings_;  // guarded by mutex_
};

}  // namespace app
