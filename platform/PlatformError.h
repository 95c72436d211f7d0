#pragma once
// Failures of the desktop services (files, locale, child processes), apart from the engine's own.
#include <stdexcept>
#include <string>

class EPlatformError : public std::runtime_error {
 public:
  explicit EPlatformError(const std::string& message) : std::runtime_error(message) {}
};
