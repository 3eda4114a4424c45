#include <windows.h>
#include <conio.h>

#include "tools/tunora-play/Console.h"

struct Console::Saved {};

// The console hands keys over one at a time already; without one (a pipe) there are none.
Console::Console() { interactive_ = ::GetFileType(::GetStdHandle(STD_INPUT_HANDLE)) == FILE_TYPE_CHAR; }

Console::~Console() = default;

int Console::readKey(int timeoutMs) {
  const DWORD until = ::GetTickCount() + static_cast<DWORD>(timeoutMs);
  do {
    if (_kbhit()) return _getch();
    ::Sleep(10);
  } while (static_cast<LONG>(until - ::GetTickCount()) > 0);
  return -1;
}
