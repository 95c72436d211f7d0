#pragma once
// The order people expect of numbered names: "2 - x" before "10 - y", letters without regard to
// case.
#include <string_view>

// True when a sorts before b. Runs of digits compare by value, other characters by their ASCII
// lower case; names equal that way fall back to their bytes, so the order is total.
bool NaturalLess(std::string_view a, std::string_view b);
