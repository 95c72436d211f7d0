#pragma once
// libsndfile gives every Ogg stream a random serial number; fixing it makes the file reproducible.
#include <cstdint>
#include <vector>

namespace demotrack {

// Sets the serial number of every page and recomputes the page checksums. Returns false when the
// bytes are not a well-formed sequence of Ogg pages (they are then left partly rewritten).
bool SetOggSerial(std::vector<uint8_t>& bytes, uint32_t serial);

}  // namespace demotrack
