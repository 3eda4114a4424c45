#include "platform/system/CommandLine.h"

#include <algorithm>
#include <string_view>

#include "platform/system/WideText.h"

namespace platform::system {
namespace {

// Quoted when it holds blanks or quotes, with backslashes doubled only before a quote.
void appendArgument(std::wstring& line, std::wstring_view argument) {
  line += L' ';
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos) {
    line += argument;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

}  // namespace

std::wstring commandLine(const std::vector<std::string>& words) {
  if (words.empty()) return {};
  std::wstring program = widen(words.front());
  std::replace(program.begin(), program.end(), L'/', L'\\');
  // The program's own name is read up to the next quote, without escapes; a path has none.
  std::wstring line = L"\"" + program + L"\"";
  for (std::size_t i = 1; i < words.size(); ++i) appendArgument(line, widen(words[i]));
  return line;
}

}  // namespace platform::system
