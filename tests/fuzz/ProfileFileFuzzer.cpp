// The INI reader on arbitrary bytes: it must never fail, keep unknown lines byte for byte
// and read back what it wrote.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/system/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  auto doc = platform::system::ProfileDocument::parse(text);
  if (doc.text() != text) std::abort();

  doc.value("parameter", "volume size");
  if (!doc.setValue("parameter", "volume size", "73")) std::abort();
  auto reread = platform::system::ProfileDocument::parse(doc.text());
  auto value = reread.value("parameter", "volume size");
  if (!value || *value != "73") std::abort();
  return 0;
}
