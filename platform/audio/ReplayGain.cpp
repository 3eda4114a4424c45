#include "platform/audio/ReplayGain.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>

namespace platform::audio {
namespace {

std::atomic<bool> enabled{true};

}  // namespace

float replayGainFactor(const ReplayGain& gain) {
  double factor = std::pow(10.0, gain.gainDb / 20.0);
  if (gain.peak && *gain.peak > 0) factor = std::min(factor, 1.0 / *gain.peak);
  return std::isfinite(factor) ? static_cast<float>(factor) : 1.0f;
}

std::optional<double> tagNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);  // from_chars takes no '+'
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<ReplayGain> replayGainFromTags(const char* gain, const char* peak) {
  auto db = gain != nullptr ? tagNumber(gain) : std::nullopt;
  if (!db) return std::nullopt;
  ReplayGain found{*db, std::nullopt};
  auto top = peak != nullptr ? tagNumber(peak) : std::nullopt;
  if (top && *top > 0) found.peak = top;
  return found;
}

void setReplayGainEnabled(bool on) { enabled.store(on); }

bool replayGainEnabled() { return enabled.load(); }

}  // namespace platform::audio
