#pragma once
// The hand-off message and URI parsers under fuzzing, shared by the libFuzzer target and the
// corpus replay test.
#include <cstddef>
#include <cstdint>

// Parses the bytes as a hand-off message and as a URI; aborts when a result breaks the rules
// (every path absolute, no NUL inside).
void FuzzHandOffInput(const uint8_t* data, size_t size);
