#pragma once
// The console side of tunora-play, per system: single keys while playing.

class Console {
 public:
  // Puts the terminal into single-key mode for as long as it lives, when there is one.
  Console();
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  bool interactive() const { return interactive_; }
  // The next key within timeoutMs, or -1.
  int readKey(int timeoutMs);

 private:
  bool interactive_ = false;
  struct Saved;
  Saved* saved_ = nullptr;
};
