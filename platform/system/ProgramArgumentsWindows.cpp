#include <windows.h>
#include <shellapi.h>

#include "platform/system/ProgramArguments.h"
#include "platform/system/WideText.h"

namespace platform::system {

std::vector<std::string> programArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return {argv, argv + argc};
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(narrow(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

}  // namespace platform::system
