#include "app/PlayWorker.h"

#include <chrono>
#include <cmath>
#include <limits>

#include "app/EngineStart.h"
#include "app/KeywordCheck.h"
#include "app/MainWindowParts.h"
#include "app/Playback.h"
#include "app/PresetFile.h"
#include "platform/system/WorkingSet.h"
#include "platform/text/CodePage.h"
#include "platform/window/WindowApi.h"
#include "ui/framework/MessageBox.h"

namespace app {
namespace {

namespace pw = platform::window;

constexpr double kTolerance = 0.0000001;
// Longer than the engine may block in stream creation.
constexpr auto kWorkerStepLimit = std::chrono::seconds(8);

// The song label: the selected row as it is now.
std::string songLabelText(MainWindowParts& parts, PlaySource source) {
  if (source == PlaySource::Presets) {
    const int row = parts.presetList.selectedRow();
    return parts.presetList.validRow(row) ? parts.presetList.cellText(row, 1) : std::string();
  }
  const int row = parts.resultList.selectedRow();
  if (!parts.resultList.validRow(row)) return {};
  return parts.resultList.cellText(row, 1) + "\r\n" + parts.resultList.cellText(row, 2);
}

}  // namespace

float sliderVolume(ui::controls::ExSlider& slider) {
  const float second = slider.secondValue();
  return second > 0 ? slider.value() / second : 0.0f;
}

int wholeSeconds(double seconds) {
  if (!(seconds >= 0) || seconds > std::numeric_limits<int>::max()) return 0;
  return static_cast<int>(seconds);
}

const std::string& UnplayableSongMessage() {
  static const std::string text = platform::text::utf8ToAnsi("该歌曲的来源可能不正确,请选择其他歌曲");
  return text;
}

PlayWorker& playWorker() {
  // Never destroyed: a worker still running at exit must not find its state gone.
  static PlayWorker* worker = new PlayWorker;
  return *worker;
}

void PlayWorker::submit(PlayRequest request) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (request.ticket <= newestSubmitted_) return;
  newestSubmitted_ = request.ticket;
  waiting_ = std::move(request);
  if (!thread_.joinable()) thread_ = std::thread([this, generation = generation_] { run(generation); });
  wake_.notify_all();
}

void PlayWorker::stop() {
  std::thread ending;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++generation_;
    waiting_.reset();
    ending = std::move(thread_);
    wake_.notify_all();
  }
  if (!ending.joinable()) return;
  if (serveUntilIdle(true)) {
    ending.join();
  } else {
    // Stuck in a step that needs the UI thread further up this stack (a message box):
    // it ends by itself when that returns, seeing its generation is over.
    ending.detach();
  }
}

void PlayWorker::waitUntilIdle() { serveUntilIdle(false); }

bool PlayWorker::serveUntilIdle(bool dropWaiting) {
  const auto deadline = std::chrono::steady_clock::now() + kWorkerStepLimit;
  while (true) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (dropWaiting) waiting_.reset();
      if (!serving_ && !waiting_) return true;
    }
    if (std::chrono::steady_clock::now() > deadline) return false;
    pw::processPendingMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

bool PlayWorker::superseded(const PlayRequest& request, std::uint64_t generation) const {
  return generation != generation_ || newestSubmitted_ > request.ticket;
}

void PlayWorker::run(std::uint64_t generation) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    wake_.wait(lock, [&] { return generation != generation_ || waiting_.has_value(); });
    if (generation != generation_) return;
    PlayRequest request = std::move(*waiting_);
    waiting_.reset();
    serving_ = true;
    lock.unlock();
    playSong(request, generation);
    lock.lock();
    serving_ = false;
  }
}

void PlayWorker::playSong(const PlayRequest& request, std::uint64_t generation) {
  WaitForAudioEngine();  // a preset can be double-clicked before the device is open
  audio::AudioEngine& engine = audioEngine();

  // The song that plays, waits for data or is paused stops and goes; so does one that
  // ended or failed earlier and was never freed.
  bool stoppedOne = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (superseded(request, generation)) return;
    const DWORD active = engine.IsActive(currentStream_);
    if (active == BASS_ACTIVE_PLAYING || active == BASS_ACTIVE_PAUSED || active == BASS_ACTIVE_STALLED) {
      engine.Stop(currentStream_);
      engine.FreeStream(currentStream_);
      stoppedOne = true;
    } else if (currentStream_ != 0) {
      engine.FreeStream(currentStream_);
    }
    currentStream_ = 0;
  }
  if (stoppedOne) {
    pw::invokeOnUiThread([] {
      auto& slider = mainParts().positionSlider;
      if (std::fabs(slider.value()) > kTolerance) slider.value(0.0);
    });
  }

  std::string url = request.url;
  if (request.source == PlaySource::Presets) {
    int row = 0;
    pw::invokeOnUiThread([&row] {
      auto& list = mainParts().presetList;
      const int selected = list.selectedRow();
      row = list.validRow(selected) ? selected : 0;
    });
    // A row beyond the file's lines (it changed since it was listed) has no link.
    url = row > 0 ? PresetUrlOfRow(row) : std::string();
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (superseded(request, generation)) return;
    playUrl_ = url;
    if (request.source == PlaySource::Presets) presetUrl_ = url;
  }

  // Blocks for the connection and the first data.
  const HSTREAM stream = engine.CreateStream(std::nullopt, std::nullopt, url);
  // Silent until the slide brings it up to the slider's level.
  if (stream != 0) BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 0.0f);
  bool playing = false;
  std::string length;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (superseded(request, generation)) {
      if (stream != 0) engine.FreeStream(stream);
      return;
    }
    currentStream_ = stream;
    engine.Play(stream);
    // A stream may wait for data the moment it starts; it plays as soon as the data is in.
    const DWORD active = engine.IsActive(stream);
    playing = active == BASS_ACTIVE_PLAYING || active == BASS_ACTIVE_STALLED;
    if (playing) {
      length = engine.FormatTime(wholeSeconds(engine.BytesToSeconds(stream, engine.GetLength(stream))));
    } else if (stream != 0 && engine.IsActive(stream) == BASS_ACTIVE_STOPPED) {
      engine.FreeStream(stream);
      currentStream_ = 0;
    }
  }

  if (playing) {
    float level = 0;
    pw::invokeOnUiThread([&] {
      MainWindowParts& parts = mainParts();
      parts.songLabel.text(songLabelText(parts, request.source));
      parts.lengthLabel.text(length);
      parts.playPause.setImages(parts.buttonImages[27], parts.buttonImages[28], parts.buttonImages[29]);
      level = sliderVolume(parts.volumeSlider);
    });
    std::lock_guard<std::mutex> lock(mutex_);
    if (currentStream_ == stream) BASS_ChannelSlideAttribute(stream, BASS_ATTRIB_VOL, level, kVolumeSlideMs);
  } else {
    bool stillWanted = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stillWanted = !superseded(request, generation);
    }
    // A song the user has already replaced gets no message.
    if (stillWanted) {
      pw::invokeOnUiThread([] {
        ui::showMessageBox(mainParts().hwnd, UnplayableSongMessage(), ui::kBoxCancelOk, ErrorTitle(),
                           ui::kBoxIconError);
      });
    }
  }
  platform::system::trimWorkingSet();
}

}  // namespace app
