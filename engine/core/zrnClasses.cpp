#include "engine/core/zrnClasses.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "engine/core/zrnMath.h"

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), fmt, args);
    out.assign(buf.data(), static_cast<size_t>(n));
  }
  va_end(args);
  return out;
}

EZRNAssertion::EZRNAssertion(const std::string& message, const char* unit, int line)
    : EZRNError(Format("%s (%s, line %d)", message.c_str(), unit, line)) {}

void TZRNMatrix::Load(const TMatrix4f& m) {
  Matrix = m;
  Changed();
}

void TZRNMatrix::Multiply(const TMatrix4f& m) {
  Matrix = MatrixMultiply(Matrix, m);
  Changed();
}

void TZRNMatrix::Push() {
  ZRN_ASSERT(StackCount < 16, "Matrix stack overflow", "zrnClasses");
  Stack[StackCount++] = Matrix;
}

void TZRNMatrix::Pop() {
  ZRN_ASSERT(StackCount > 0, "Matrix stack underflow", "zrnClasses");
  Matrix = Stack[--StackCount];
  Changed();
}

void TZRNMatrix::Changed() {
  if (OnChange) OnChange(*this);
}
