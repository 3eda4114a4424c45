#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "tools/tunora-play/Console.h"

struct Console::Saved {
  termios terminal{};
};

Console::Console() : saved_(new Saved) {
  interactive_ = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved_->terminal) == 0;
  if (!interactive_) return;
  termios raw = saved_->terminal;
  raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
}

Console::~Console() {
  if (interactive_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_->terminal);
  delete saved_;
}

int Console::readKey(int timeoutMs) {
  pollfd fd{STDIN_FILENO, POLLIN, 0};
  if (poll(&fd, 1, timeoutMs) <= 0) return -1;
  char key = 0;
  return read(STDIN_FILENO, &key, 1) == 1 ? key : -1;
}
