#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/text/CodePage.h"
#include "platform/text/Conversion.h"

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

}  // namespace

namespace detail {

std::u16string decode(unsigned codePage, std::string_view bytes) {
  std::string out;
  Converter& conv = converter(codePage, true);
  if (!conv.valid()) return {};
  const char* in = bytes.data();
  size_t left = bytes.size();
  while (!conv.run(in, left, out)) {
    out.push_back(static_cast<char>(kReplacement & 0xFF));
    out.push_back(static_cast<char>(kReplacement >> 8));
    ++in;
    --left;
  }
  std::u16string units(out.size() / 2, u'\0');
  std::memcpy(units.data(), out.data(), units.size() * 2);
  return units;
}

std::string encode(unsigned codePage, std::u16string_view units, const std::string& fallback,
                   bool* usedFallback) {
  const size_t count = units.size();
  std::string out;
  Converter& conv = converter(codePage, false);
  if (!conv.valid()) return out;
  const char* in = reinterpret_cast<const char*>(units.data());
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

}  // namespace detail
}  // namespace platform::text
