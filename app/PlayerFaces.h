#pragma once
// The one way from the Player to its faces: each call runs on the UI thread (at once when
// made there, else through platform::window::invokeOnUiThread, waiting for it), so the
// faces see the Player's steps in the order it takes them.

#include <functional>
#include <vector>

#include "app/PlayerView.h"

namespace app {

class PlayerFaces {
 public:
  // UI thread, before the Player takes commands.
  void setView(PlayerView* view) { view_ = view; }
  void addListener(PlayerListener* listener) { listeners_.push_back(listener); }
  void removeListener(PlayerListener* listener);

  // Any thread; the caller holds no lock of the Player.
  void toView(const std::function<void(PlayerView&)>& call);
  void toListeners(const std::function<void(PlayerListener&)>& call);
  // Runs fn on the UI thread.
  static void onUiThread(const std::function<void()>& fn);

 private:
  PlayerView* view_ = nullptr;
  std::vector<PlayerListener*> listeners_;
};

}  // namespace app
