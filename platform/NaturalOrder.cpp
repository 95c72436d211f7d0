#include "platform/NaturalOrder.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// <0, 0, >0 as the digit runs starting at a[i] and b[j] compare by value; moves i and j past them.
int CompareNumbers(std::string_view a, size_t& i, std::string_view b, size_t& j) {
  while (i < a.size() && a[i] == '0') ++i;
  while (j < b.size() && b[j] == '0') ++j;
  const size_t startA = i;
  const size_t startB = j;
  while (i < a.size() && IsDigit(a[i])) ++i;
  while (j < b.size() && IsDigit(b[j])) ++j;
  // Without leading zeros, the longer run is the larger number; equal lengths compare by digits.
  if (i - startA != j - startB) return i - startA < j - startB ? -1 : 1;
  return a.substr(startA, i - startA).compare(b.substr(startB, j - startB));
}

}  // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      const int order = CompareNumbers(a, i, b, j);
      if (order != 0) return order < 0;
      continue;
    }
    const char ca = Lower(a[i]);
    const char cb = Lower(b[j]);
    if (ca != cb) return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb);
    ++i;
    ++j;
  }
  if ((i < a.size()) != (j < b.size())) return i >= a.size();  // a prefix sorts first
  return a < b;
}
