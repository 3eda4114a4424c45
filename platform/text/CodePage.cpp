#include "platform/text/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace platform::text {
namespace {

constexpr char kAnsiName[] = "CP936";
constexpr char kUtf8Name[] = "UTF-8";
constexpr char kUtf16Name[] = "UTF-16LE";
constexpr char16_t kReplacement = 0xFFFD;

// One iconv descriptor per direction and thread; opening one costs more than a short
// conversion.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as it can; returns false with *consumed/*produced set on the first
  // sequence it cannot convert.
  bool run(const char*& in, size_t& inLeft, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buffer[1024];
    while (inLeft > 0) {
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      size_t rc = iconv(cd_, const_cast<char**>(&in), &inLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<size_t>(dst - buffer));
      if (rc == static_cast<size_t>(-1) && errno != E2BIG) return false;
    }
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    return true;
  }

 private:
  iconv_t cd_;
};

Converter& converter(unsigned codePage, bool toWide) {
  thread_local Converter ansiToWide(kUtf16Name, kAnsiName);
  thread_local Converter utf8ToWide(kUtf16Name, kUtf8Name);
  thread_local Converter wideToAnsi(kAnsiName, kUtf16Name);
  thread_local Converter wideToUtf8(kUtf8Name, kUtf16Name);
  if (codePage == kCodePageUtf8) return toWide ? utf8ToWide : wideToUtf8;
  return toWide ? ansiToWide : wideToAnsi;
}

bool knownCodePage(unsigned codePage) {
  return codePage == kCodePageAnsi || codePage == kCodePageUtf8 || codePage == 936;
}

// Bytes of codePage to UTF-16LE bytes; an unconvertible byte becomes U+FFFD.
std::string decode(unsigned codePage, const char* bytes, size_t length) {
  std::string out;
  Converter& conv = converter(codePage, true);
  if (!conv.valid()) return out;
  const char* in = bytes;
  size_t left = length;
  while (!conv.run(in, left, out)) {
    out.push_back(static_cast<char>(kReplacement & 0xFF));
    out.push_back(static_cast<char>(kReplacement >> 8));
    ++in;
    --left;
  }
  return out;
}

// UTF-16 units to codePage bytes; what codePage cannot hold becomes the fallback.
std::string encode(unsigned codePage, const char16_t* units, size_t count,
                   const std::string& fallback, bool* usedFallback) {
  std::string out;
  Converter& conv = converter(codePage, false);
  if (!conv.valid()) return out;
  const char* in = reinterpret_cast<const char*>(units);
  size_t left = count * 2;
  while (!conv.run(in, left, out)) {
    if (usedFallback) *usedFallback = true;
    out += fallback;
    size_t index = count - left / 2;
    bool pair = index + 1 < count && units[index] >= 0xD800 && units[index] <= 0xDBFF &&
                units[index + 1] >= 0xDC00 && units[index + 1] <= 0xDFFF;
    size_t skip = pair ? 4 : 2;
    if (skip > left) skip = left;
    in += skip;
    left -= skip;
  }
  return out;
}

}  // namespace

int MultiByteToWideChar(unsigned codePage, unsigned /*flags*/, const char* bytes, int byteCount,
                        char16_t* out, int outUnits) {
  if (!bytes || byteCount == 0 || byteCount < -1 || outUnits < 0 || !knownCodePage(codePage))
    return 0;
  size_t length = byteCount == -1 ? std::strlen(bytes) + 1 : static_cast<size_t>(byteCount);
  std::string wide = decode(codePage, bytes, length);
  int units = static_cast<int>(wide.size() / 2);
  if (outUnits == 0) return units;
  if (!out || units > outUnits) return 0;
  std::memcpy(out, wide.data(), wide.size());
  return units;
}

int WideCharToMultiByte(unsigned codePage, unsigned /*flags*/, const char16_t* units,
                        int unitCount, char* out, int outBytes, const char* defaultChar,
                        bool* usedDefault) {
  if (usedDefault) *usedDefault = false;
  if (!units || unitCount == 0 || unitCount < -1 || outBytes < 0 || !knownCodePage(codePage))
    return 0;
  size_t count = 0;
  if (unitCount == -1) {
    while (units[count] != 0) ++count;
    ++count;
  } else {
    count = static_cast<size_t>(unitCount);
  }
  std::string fallback = codePage == kCodePageUtf8 ? "\xEF\xBF\xBD"
                         : defaultChar             ? std::string(defaultChar)
                                                   : "?";
  std::string bytes = encode(codePage, units, count, fallback, usedDefault);
  int size = static_cast<int>(bytes.size());
  if (outBytes == 0) return size;
  if (!out || size > outBytes) return 0;
  std::memcpy(out, bytes.data(), bytes.size());
  return size;
}

namespace {

std::u16string toUnits(const std::string& bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  std::memcpy(units.data(), bytes.data(), units.size() * 2);
  return units;
}

}  // namespace

std::u16string ansiToWide(std::string_view ansi) {
  return toUnits(decode(kCodePageAnsi, ansi.data(), ansi.size()));
}

std::u16string utf8ToWide(std::string_view utf8) {
  return toUnits(decode(kCodePageUtf8, utf8.data(), utf8.size()));
}

std::string wideToAnsi(std::u16string_view wide) {
  return encode(kCodePageAnsi, wide.data(), wide.size(), "?", nullptr);
}

std::string wideToUtf8(std::u16string_view wide) {
  return encode(kCodePageUtf8, wide.data(), wide.size(), "\xEF\xBF\xBD", nullptr);
}

std::string ansiToUtf8(std::string_view ansi) { return wideToUtf8(ansiToWide(ansi)); }

std::string utf8ToAnsi(std::string_view utf8) { return wideToAnsi(utf8ToWide(utf8)); }

}  // namespace platform::text
