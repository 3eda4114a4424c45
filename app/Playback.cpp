#include "app/Playback.h"

#include <algorithm>

#include "app/MainWindowParts.h"
#include "app/PlayWorker.h"
#include "app/ServiceAddress.h"
#include "app/UiRequest.h"
#include "app/VolumeSetting.h"
#include "net/TextBetween.h"
#include "platform/system/WorkingSet.h"
#include "platform/window/WindowApi.h"

namespace app {
namespace {

namespace pw = platform::window;

constexpr double kTolerance = 0.0000001;
constexpr double kSongEndPercent = 99.7;

void showPlayImages(MainWindowParts& parts) {
  parts.playPause.setImages(parts.buttonImages[0], parts.buttonImages[1], parts.buttonImages[2]);
}

void showPauseImages(MainWindowParts& parts) {
  parts.playPause.setImages(parts.buttonImages[27], parts.buttonImages[28], parts.buttonImages[29]);
}

}  // namespace

audio::AudioEngine& audioEngine() {
  // The song service also answers the singer-picture lookup.
  static audio::AudioEngine engine = [] {
    audio::AudioEngine made;
    made.SetPictureServiceHost(ServiceAddress());
    return made;
  }();
  return engine;
}

pw::LRESULT OnListDoubleClick(pw::HWND window, int controlId, ui::ControlObject* control, int kind) {
  (void)window;
  (void)control;
  PlayWorker& worker = playWorker();
  // Taken before the lookup: a click whose lookup finishes late never overrides a newer one.
  const std::uint64_t ticket = worker.newTicket();
  MainWindowParts& parts = mainParts();
  if (kind == ui::kKindList && controlId != 0) {
    if (controlId == parts.resultList.id()) {
      const int row = parts.resultList.selectedRow();
      if (parts.resultList.validRow(row)) {
        const std::string title = parts.resultList.cellText(row, 1);
        const std::string singer = parts.resultList.cellText(row, 2);
        const std::string answer = RequestOnUiThread(LinksRequestUrl(title, singer));
        worker.submit({ticket, PlaySource::Results, net::TextBetween(answer, "url\":\"", "\"")});
      }
    } else if (controlId == parts.presetList.id()) {
      if (parts.presetList.validRow(parts.presetList.selectedRow())) {
        worker.submit({ticket, PlaySource::Presets, {}});
      }
    }
  }
  platform::system::trimWorkingSet();
  return 0;
}

void TogglePause() {
  auto& engine = audioEngine();
  PlayWorker& worker = playWorker();
  DWORD before = 0;
  {
    auto state = worker.lockState();
    before = engine.IsActive(state.stream());
    if (before == BASS_ACTIVE_PLAYING) {
      engine.Pause(state.stream());
    } else if (before == BASS_ACTIVE_PAUSED) {
      engine.Play(state.stream(), false);
    }
  }
  if (before == BASS_ACTIVE_PLAYING) showPlayImages(mainParts());
  if (before == BASS_ACTIVE_PAUSED) showPauseImages(mainParts());
}

void SeekToPercent(int percent) {
  auto& engine = audioEngine();
  PlayWorker& worker = playWorker();
  MainWindowParts& parts = mainParts();
  const QWORD share = static_cast<QWORD>(std::clamp(percent, 0, 100));
  {
    auto state = worker.lockState();
    if (engine.IsActive(state.stream()) == BASS_ACTIVE_PLAYING) {
      const QWORD length = engine.GetLength(state.stream());
      // Split so that a length near the top of the range cannot overflow.
      engine.SetPosition(state.stream(), length / 100 * share + length % 100 * share / 100);
    }
  }
  bool resumed = false;
  {
    auto state = worker.lockState();
    if (engine.IsActive(state.stream()) == BASS_ACTIVE_PAUSED) {
      engine.Play(state.stream(), false);
      resumed = true;
    }
  }
  if (resumed) showPauseImages(parts);
  bool stopped = false;
  {
    auto state = worker.lockState();
    stopped = engine.IsActive(state.stream()) == BASS_ACTIVE_STOPPED;
  }
  // Nothing plays: the slider snaps back.
  if (stopped && parts.positionSlider.value() - 1.0 > kTolerance) parts.positionSlider.value(0.0);
}

void ChangeVolume(int volume) {
  MainWindowParts& parts = mainParts();
  const float level = sliderVolume(parts.volumeSlider);
  {
    auto state = playWorker().lockState();
    BASS_ChannelSlideAttribute(state.stream(), BASS_ATTRIB_VOL, level, kVolumeSlideMs);
  }
  WriteVolumeSetting(volume);
}

void UpdateProgress() {
  auto& engine = audioEngine();
  MainWindowParts& parts = mainParts();
  auto state = playWorker().lockState();
  const HSTREAM stream = state.stream();
  if (engine.IsActive(stream) == BASS_ACTIVE_PLAYING) {
    const QWORD position = engine.GetPosition(stream);
    const QWORD length = engine.GetLength(stream);
    parts.elapsedLabel.text(engine.FormatTime(wholeSeconds(engine.BytesToSeconds(stream, position))));
    // An unknown or zero length gives a share out of range, which the slider refuses.
    parts.positionSlider.value(static_cast<double>(position) * 100.0 / static_cast<double>(length));
    const QWORD buffered = BASS_StreamGetFilePosition(stream, BASS_FILEPOS_BUFFER);
    const QWORD size = BASS_StreamGetFilePosition(stream, BASS_FILEPOS_END);
    parts.positionSlider.secondValue(static_cast<double>(buffered) * 100.0 / static_cast<double>(size));
  }
  if (engine.IsActive(stream) == BASS_ACTIVE_STOPPED && parts.positionSlider.value() - kSongEndPercent > kTolerance) {
    parts.songLabel.text(std::string());
    parts.elapsedLabel.text(std::string());
    parts.lengthLabel.text(std::string());
    parts.positionSlider.value(0.0);
    parts.positionSlider.secondValue(0.0);
    engine.Stop(stream);
    engine.FreeStream(stream);
    state.setStream(0);
  }
}

void CloseCurrentStream() {
  PlayWorker& worker = playWorker();
  worker.stop();
  auto& engine = audioEngine();
  auto state = worker.lockState();
  const DWORD active = engine.IsActive(state.stream());
  if (active == BASS_ACTIVE_PLAYING || active == BASS_ACTIVE_PAUSED) engine.FreeStream(state.stream());
  state.setStream(0);
}

HSTREAM CurrentStream() { return playWorker().lockState().stream(); }

void WaitForPlayRequests() { playWorker().waitUntilIdle(); }

}  // namespace app
