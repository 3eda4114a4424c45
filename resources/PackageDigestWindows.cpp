#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <string>

#include "resources/ResourcePackage.h"

// MD5 through the system's CNG.

namespace resources {

std::string PackageDigest(std::string_view data) {
  unsigned char digest[16] = {};
  // BCryptHash takes a 32-bit length; larger data goes through a hash object in pieces.
  static const BCRYPT_ALG_HANDLE md5 = [] {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    ::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0);
    return algorithm;
  }();
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (md5 != nullptr && BCRYPT_SUCCESS(::BCryptCreateHash(md5, &hash, nullptr, 0, nullptr, 0, 0))) {
    constexpr size_t kPiece = 1u << 30;
    for (size_t offset = 0; offset < data.size(); offset += kPiece) {
      const size_t n = std::min(kPiece, data.size() - offset);
      ::BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(data.data() + offset)),
                       static_cast<ULONG>(n), 0);
    }
    ::BCryptFinishHash(hash, digest, sizeof digest, 0);
    ::BCryptDestroyHash(hash);
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (unsigned char byte : digest) {
    text += kHex[byte >> 4];
    text += kHex[byte & 15];
  }
  return text;
}

}  // namespace resources
