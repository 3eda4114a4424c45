#pragma once
// INI ("private profile") files with the rules programs written for the kernel's profile
// functions rely on: section and key names compare without regard to ASCII case, blanks
// around names and values are trimmed, a value in matching quotes loses them, the first
// of duplicate sections or keys counts, and writing one key keeps every other line
// (comments included) byte for byte.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::system {

class ProfileDocument {
 public:
  // Never fails: lines that are neither a section header nor key=value are kept as they are.
  static ProfileDocument parse(std::string_view text);

  std::optional<std::string> value(std::string_view section, std::string_view key) const;

  // Replaces the key's line, or adds it at the end of its section, adding the section at
  // the end of the document when it is missing. Names or values holding CR or LF would
  // break the file into other lines and are refused.
  bool setValue(std::string_view section, std::string_view key, std::string_view value);

  std::string text() const;

 private:
  enum class Kind { Other, Section, Key };
  struct Line {
    std::string raw;  // without the '\n'; a '\r' before it stays
    Kind kind = Kind::Other;
    std::string name;
    std::string value;
  };
  static Line classify(std::string raw);
  std::string lineEnding() const;

  std::vector<Line> lines_;
  bool crlf_ = true;
};

// GetPrivateProfileString: defaultValue when the file, section or key is missing.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, const std::string& path);

// WritePrivateProfileString: creates the file and section when missing; the file is
// replaced atomically. False when the file cannot be written, and when a file (or
// anything else) is at path but cannot be read: it is left as it is.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path);

// Writes several keys of one section in one replacement of the file, with the same rules;
// nothing is written when any of them is refused.
bool WritePrivateProfileValues(std::string_view section,
                               const std::vector<std::pair<std::string, std::string>>& values,
                               const std::string& path);

}  // namespace platform::system
