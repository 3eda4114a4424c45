#include "platform/system/ProfileFile.h"

#include "platform/system/Files.h"

namespace platform::system {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && (isBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// ASCII case folding that leaves both bytes of a two-byte GBK character alone: a trail
// byte can look like an ASCII letter.
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (static_cast<unsigned char>(a[i]) >= 0x81 && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

std::string_view unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

bool hasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != text.npos; }

}  // namespace

ProfileDocument::Line ProfileDocument::classify(std::string raw) {
  Line line;
  std::string_view body = trim(raw);
  if (!body.empty() && body.front() == '[') {
    auto close = body.find(']');
    if (close != body.npos) {
      line.kind = Kind::Section;
      line.name = std::string(trim(body.substr(1, close - 1)));
    }
  } else if (!body.empty() && body.front() != ';') {
    auto equals = body.find('=');
    if (equals != body.npos) {
      line.kind = Kind::Key;
      line.name = std::string(trim(body.substr(0, equals)));
      line.value = std::string(unquote(trim(body.substr(equals + 1))));
    }
  }
  line.raw = std::move(raw);
  return line;
}

ProfileDocument ProfileDocument::parse(std::string_view text) {
  ProfileDocument doc;
  if (text.empty()) return doc;
  auto firstBreak = text.find('\n');
  doc.crlf_ = firstBreak == text.npos || (firstBreak > 0 && text[firstBreak - 1] == '\r');
  size_t start = 0;
  for (;;) {
    auto end = text.find('\n', start);
    doc.lines_.push_back(classify(std::string(text.substr(start, end - start))));
    if (end == text.npos) break;
    start = end + 1;
  }
  return doc;
}

std::optional<std::string> ProfileDocument::value(std::string_view section,
                                                  std::string_view key) const {
  std::string_view wantedSection = trim(section), wantedKey = trim(key);
  size_t i = 0;
  while (i < lines_.size() &&
         !(lines_[i].kind == Kind::Section && sameName(lines_[i].name, wantedSection)))
    ++i;
  for (++i; i < lines_.size() && lines_[i].kind != Kind::Section; ++i) {
    if (lines_[i].kind == Kind::Key && sameName(lines_[i].name, wantedKey))
      return lines_[i].value;
  }
  return std::nullopt;
}

std::string ProfileDocument::lineEnding() const { return crlf_ ? "\r" : ""; }

bool ProfileDocument::setValue(std::string_view section, std::string_view key,
                               std::string_view value) {
  if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value)) return false;
  std::string_view wantedSection = trim(section), wantedKey = trim(key);
  Line keyLine = classify(std::string(wantedKey) + "=" + std::string(value) + lineEnding());

  size_t i = 0;
  while (i < lines_.size() &&
         !(lines_[i].kind == Kind::Section && sameName(lines_[i].name, wantedSection)))
    ++i;
  if (i < lines_.size()) {
    size_t insertAt = i + 1;
    for (size_t j = i + 1; j < lines_.size() && lines_[j].kind != Kind::Section; ++j) {
      if (lines_[j].kind == Kind::Key && sameName(lines_[j].name, wantedKey)) {
        lines_[j] = std::move(keyLine);
        return true;
      }
      if (!trim(lines_[j].raw).empty()) insertAt = j + 1;
    }
    lines_.insert(lines_.begin() + static_cast<long>(insertAt), std::move(keyLine));
    return true;
  }

  // A missing final line break would glue the new section to the last line.
  if (lines_.empty() || !lines_.back().raw.empty()) {
    if (!lines_.empty() && crlf_ && lines_.back().raw.back() != '\r') lines_.back().raw += '\r';
    lines_.push_back(Line{});
  }
  // Appended piece by piece: gcc 12 at -O3 warns (-Wrestrict) on a literal + string chain.
  std::string header = "[";
  header.append(wantedSection).append("]").append(lineEnding());
  lines_.back() = classify(header);
  lines_.push_back(std::move(keyLine));
  lines_.push_back(Line{});
  return true;
}

std::string ProfileDocument::text() const {
  std::string out;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) out += '\n';
    out += lines_[i].raw;
  }
  return out;
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, const std::string& path) {
  auto data = readWholeFile(path);
  if (!data) return std::string(defaultValue);
  auto doc = ProfileDocument::parse(
      std::string_view(reinterpret_cast<const char*>(data->data()), data->size()));
  return doc.value(section, key).value_or(std::string(defaultValue));
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& path) {
  return WritePrivateProfileValues(section, {{std::string(key), std::string(value)}}, path);
}

bool WritePrivateProfileValues(std::string_view section,
                               const std::vector<std::pair<std::string, std::string>>& values,
                               const std::string& path) {
  FileRead existing = readFile(path);
  // Replacing a file that is there but could not be read would lose everything in it.
  if (existing.status == FileRead::Status::Unreadable) return false;
  ProfileDocument doc = ProfileDocument::parse(std::string_view(
      reinterpret_cast<const char*>(existing.data.data()), existing.data.size()));
  for (const auto& [key, value] : values)
    if (!doc.setValue(section, key, value)) return false;
  return writeFileAtomically(path, doc.text());
}

}  // namespace platform::system
