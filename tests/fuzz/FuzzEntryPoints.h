#pragma once
// The loaders under fuzzing, shared by the libFuzzer targets and the corpus replay test.
#include <cstddef>
#include <cstdint>

// Each feeds the bytes to one loader on a recording-renderer device. Engine errors are the
// expected outcome of bad input and are swallowed; anything else escapes.
void FuzzTextureBlock(const uint8_t* data, size_t size);
void FuzzImageFile(const uint8_t* data, size_t size);
void FuzzFontFile(const uint8_t* data, size_t size);
