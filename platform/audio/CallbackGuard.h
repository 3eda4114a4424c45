#pragma once
// C libraries call back into us; nothing may unwind through their frames.

#include <utility>

namespace platform::audio {

// Runs body; when it throws, returns fallback instead (after onFailure, which must not
// throw either).
template <typename Result, typename Body, typename OnFailure>
Result guardCallback(Result fallback, Body&& body, OnFailure&& onFailure) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    std::forward<OnFailure>(onFailure)();
    return fallback;
  }
}

template <typename Result, typename Body>
Result guardCallback(Result fallback, Body&& body) noexcept {
  return guardCallback(fallback, std::forward<Body>(body), [] {});
}

}  // namespace platform::audio
