#include "resources/ResourcePackage.h"

#include <algorithm>

#include "platform/system/Files.h"
#include "platform/text/CodePage.h"

namespace resources {
namespace {

using platform::text::utf8ToAnsi;

enum class Outcome { BadFormat, BadHeader, BadData, Unpacked };

const std::string& outcomeText(Outcome outcome) {
  static const std::string badFormat = utf8ToAnsi("格式不规范");
  static const std::string badHeader = utf8ToAnsi("校验头部未成功");
  static const std::string badData = utf8ToAnsi("校验数据失败");
  static const std::string unpacked = utf8ToAnsi("解包成功");
  switch (outcome) {
    case Outcome::BadFormat: return badFormat;
    case Outcome::BadHeader: return badHeader;
    case Outcome::BadData: return badData;
    case Outcome::Unpacked: break;
  }
  return unpacked;
}

// The runs of body between occurrences of separator, the last run included.
std::vector<std::string_view> splitParts(std::string_view body, std::string_view separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    size_t found = body.find(separator, start);
    if (found == body.npos) {
      parts.push_back(body.substr(start));
      return parts;
    }
    parts.push_back(body.substr(start, found - start));
    start = found + separator.size();
  }
}

}  // namespace

std::vector<std::string_view> SplitResourceParts(std::string_view data) {
  if (data.size() <= kSeparatorSize) return {};
  std::string_view separator = data.substr(data.size() - kSeparatorSize);
  return splitParts(data.substr(0, data.size() - kSeparatorSize), separator);
}

std::string_view ResourcePackageMagic() {
  static constexpr char kMagic[] = {'S', 'k', 'i', 'n', '_', 'r', 'e', 's',
                                    '\x60', '\xC9', '\x34', '\x05'};
  return {kMagic, sizeof kMagic};
}

bool UnpackResourceData(std::string_view data, std::vector<ByteBlock>& entries,
                        std::string& message) {
  std::vector<std::string_view> parts = SplitResourceParts(data);
  if (parts.empty()) {
    message = outcomeText(Outcome::BadFormat);
    return false;
  }

  if (parts.front() != ResourcePackageMagic()) {
    message = outcomeText(Outcome::BadHeader);
    return false;
  }
  // Without a digest part nothing can be verified.
  if (parts.size() < 2) {
    message = outcomeText(Outcome::BadData);
    return false;
  }
  std::string_view stored = parts[1];
  stored = stored.substr(0, stored.find('\0'));  // read as text

  std::string joined;
  for (size_t i = 2; i < parts.size(); ++i) joined += parts[i];
  if (PackageDigest(joined) != stored) {
    message = outcomeText(Outcome::BadData);
    return false;
  }

  std::vector<ByteBlock> unpacked;
  unpacked.reserve(parts.size() - 2);
  for (size_t i = 2; i < parts.size(); ++i)
    unpacked.emplace_back(parts[i].begin(), parts[i].end());
  entries = std::move(unpacked);
  message = outcomeText(Outcome::Unpacked);
  return true;
}

bool UnpackResourcePackage(const std::string& path, std::vector<ByteBlock>& entries,
                           std::string& message) {
  auto data = platform::system::readWholeFile(path);
  std::string_view bytes;
  if (data) bytes = std::string_view(reinterpret_cast<const char*>(data->data()), data->size());
  return UnpackResourceData(bytes, entries, message);
}

}  // namespace resources
