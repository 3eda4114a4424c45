#include <glib.h>

#include <algorithm>
#include <memory>

#include "resources/ResourcePackage.h"

namespace resources {

std::string PackageDigest(std::string_view data) {
  std::unique_ptr<GChecksum, decltype(&g_checksum_free)> checksum(
      g_checksum_new(G_CHECKSUM_MD5), &g_checksum_free);
  // g_checksum_update takes a signed length; feed large data in pieces.
  constexpr size_t kPiece = 1u << 30;
  for (size_t offset = 0; offset < data.size(); offset += kPiece) {
    size_t n = std::min(kPiece, data.size() - offset);
    g_checksum_update(checksum.get(), reinterpret_cast<const guchar*>(data.data() + offset),
                      static_cast<gssize>(n));
  }
  return g_checksum_get_string(checksum.get());
}

}  // namespace resources
