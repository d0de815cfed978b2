#pragma once
// Hashes and random identifiers from libcrypto.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillo::crypto {

// 32 lower-case hexadecimal digits of the MD5 digest of the bytes.
std::string Md5Hex(std::string_view bytes);

// A random (version 4) GUID as its 16 bytes in field order: Data1 (4), Data2 (2), Data3 (2),
// Data4 (8). No value when the system has no randomness to give.
std::optional<std::array<std::uint8_t, 16>> NewGuid();

}  // namespace quillo::crypto
