#pragma once
// Sound files of any content through the decoders the player opens them with: the choice by
// content, then reads and seeks as playing and capturing make them.
#include <cstddef>
#include <cstdint>

void FuzzSoundFile(const uint8_t* data, size_t size);
