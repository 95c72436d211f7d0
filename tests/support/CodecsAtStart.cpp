// Test and benchmark programs register the picture codecs at start-up, as the player does.
#include "engine/assets/zrnFreeImage.h"

namespace {
[[maybe_unused]] const bool CodecsRegistered = (RegisterFreeImageCodecs(), true);
}  // namespace
