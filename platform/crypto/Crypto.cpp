#include "platform/crypto/Crypto.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <memory>

namespace quillo::crypto {

std::string Md5Hex(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr) != 1) return {};
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  for (unsigned int i = 0; i < length; ++i) {
    text.push_back(kHex[digest[i] >> 4]);
    text.push_back(kHex[digest[i] & 0xF]);
  }
  return text;
}

std::optional<std::array<std::uint8_t, 16>> NewGuid() {
  std::array<std::uint8_t, 16> guid{};
  if (RAND_bytes(guid.data(), static_cast<int>(guid.size())) != 1) return std::nullopt;
  guid[6] = static_cast<std::uint8_t>((guid[6] & 0x0F) | 0x40);  // version 4
  guid[8] = static_cast<std::uint8_t>((guid[8] & 0x3F) | 0x80);  // RFC 4122 variant
  return guid;
}

}  // namespace quillo::crypto
