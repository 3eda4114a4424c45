#include "platform/audio/NetWaits.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>

namespace platform::audio::netwaits {
namespace {

bool usable(double value) { return std::isfinite(value) && value > 0; }

std::atomic<double>& current() {
  static std::atomic<double> value = [] {
    const char* text = std::getenv("TUNORA_NET_WAIT_SCALE");
    double parsed = text != nullptr ? std::strtod(text, nullptr) : 1.0;
    return usable(parsed) ? parsed : 1.0;
  }();
  return value;
}

}  // namespace

double scale() { return current().load(std::memory_order_relaxed); }

void setScale(double value) {
  if (usable(value)) current().store(value, std::memory_order_relaxed);
}

milliseconds scaled(milliseconds wait) {
  double ms = static_cast<double>(wait.count()) * scale();
  // At least a millisecond: a zero wait would turn a time limit into a failure.
  return milliseconds{std::max<long long>(1, std::llround(std::min(ms, 1e12)))};
}

}  // namespace platform::audio::netwaits
