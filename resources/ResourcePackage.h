#pragma once
// Resource packages: a flat, checksummed container of byte blocks. The file is a run of
// parts, each followed by the same 7-byte separator (the file's last 7 bytes): the
// magic, the digest text of the entries, then the entries in order.

#include <string>
#include <string_view>
#include <vector>

#include "platform/system/ByteBlock.h"

namespace resources {

using platform::system::ByteBlock;

inline constexpr size_t kSeparatorSize = 7;

// "Skin_res" followed by 0x0534C960 little-endian.
std::string_view ResourcePackageMagic();

// 32 lower-case hexadecimal characters of the MD5 of data.
std::string PackageDigest(std::string_view data);

// The parts of a package (magic, digest, entries) split on its separator, the file's
// last 7 bytes; empty when the data holds nothing but a separator or less.
std::vector<std::string_view> SplitResourceParts(std::string_view data);

// Reads and verifies the package at path. On success replaces entries and returns true;
// on failure leaves entries as they were. message always receives one of the four
// outcome texts (GBK): "格式不规范", "校验头部未成功", "校验数据失败", "解包成功".
bool UnpackResourcePackage(const std::string& path, std::vector<ByteBlock>& entries,
                           std::string& message);

// The same over package bytes already in memory.
bool UnpackResourceData(std::string_view data, std::vector<ByteBlock>& entries,
                        std::string& message);

}  // namespace resources
