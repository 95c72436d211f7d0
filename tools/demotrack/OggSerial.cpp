#include "tools/demotrack/OggSerial.h"

#include <array>
#include <cstring>

namespace demotrack {

namespace {

// The Ogg page checksum: CRC-32, polynomial 0x04C11DB7, not reflected, initial value 0.
uint32_t OggCrc(const uint8_t* data, size_t size) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t r = i << 24;
      for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : (r << 1);
      t[i] = r;
    }
    return t;
  }();
  uint32_t crc = 0;
  for (size_t i = 0; i < size; ++i) crc = (crc << 8) ^ table[((crc >> 24) ^ data[i]) & 0xFF];
  return crc;
}

void PutLE32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

bool SetOggSerial(std::vector<uint8_t>& bytes, uint32_t serial) {
  constexpr size_t HeaderSize = 27;
  size_t pos = 0;
  while (pos < bytes.size()) {
    if (bytes.size() - pos < HeaderSize || std::memcmp(&bytes[pos], "OggS", 4) != 0) return false;
    size_t segments = bytes[pos + 26];
    if (bytes.size() - pos < HeaderSize + segments) return false;
    size_t body = 0;
    for (size_t s = 0; s < segments; ++s) body += bytes[pos + HeaderSize + s];
    size_t pageSize = HeaderSize + segments + body;
    if (bytes.size() - pos < pageSize) return false;
    PutLE32(&bytes[pos + 14], serial);
    PutLE32(&bytes[pos + 22], 0);
    PutLE32(&bytes[pos + 22], OggCrc(&bytes[pos], pageSize));
    pos += pageSize;
  }
  return pos > 0;
}

}  // namespace demotrack
