#include "app/PlayerFaces.h"

#include <algorithm>

#include "platform/window/WindowApi.h"

namespace app {

void PlayerFaces::removeListener(PlayerListener* listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void PlayerFaces::onUiThread(const std::function<void()>& fn) {
  if (platform::window::isUiThread()) {
    fn();
  } else {
    platform::window::invokeOnUiThread(fn);
  }
}

void PlayerFaces::toView(const std::function<void(PlayerView&)>& call) {
  onUiThread([&] {
    if (view_ != nullptr) call(*view_);
  });
}

void PlayerFaces::toListeners(const std::function<void(PlayerListener&)>& call) {
  onUiThread([&] {
    // A listener may leave while it is told.
    const std::vector<PlayerListener*> now = listeners_;
    for (PlayerListener* listener : now) call(*listener);
  });
}

}  // namespace app
